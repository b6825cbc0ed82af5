// The screen the game is played on ("GameWindow"): it owns the current board,
// turns the application's commands into level loads, pauses and fades, hands
// mouse presses to the board through the click record, draws the board with its
// panels, buttons and icons, and tells the application when a level ends
// ("LevelComplete", "GameOver", "TheEnd").
//
// While it exists its piece visuals are the game's presentation.
#pragma once

#include <memory>
#include <string>

#include "game/board.h"
#include "gui/blend_fade.h"
#include "gui/window.h"
#include "render/sprite.h"
#include "screens/piece_visuals.h"

namespace tav {

class GameWindow : public Window {
 public:
  enum State { kHidden = 0, kRunning = 1, kPaused = 2 };

  // Needs the game-screen resource set loaded.
  explicit GameWindow(std::string name = "GameWindow");
  // Deletes the board, then gives the presentation back to the silent one.
  ~GameWindow() override;

  // Fade step, then the base update.
  void Update(NotificationQueue& queue) override;
  // Panel texts and the time colour, the board's frame (running only), the
  // panels and buttons, the panel icons.
  void Draw() override;
  // The board's status (running only) as "LevelComplete"/"GameOver", the click
  // record cleared, the fade over the whole screen.
  void DrawOverlay() override;

  // Mouse input reaches the controls and the board only while the game is enabled.
  void OnMouseMove(Vec2 position) override;
  void OnLeftUp(Vec2 position) override;
  void OnLeftDown(Vec2 position) override;
  void OnRightDown(Vec2 position) override;

  // --- The board cursor. Arrows and W A S D move it, Enter or Space (the
  // controller's A) turn the arrow under it clockwise, with Shift (or B)
  // counter-clockwise: the same press a click on that cell makes. Tab runs through
  // the side buttons and back to the board; Esc pauses.
  bool TakesKeys() const override { return gameEnabled_ && IsEnabled(); }
  bool OnKey(const KeyPress& press) override;
  // The cursor shows on the board unless a side button has the focus.
  void ShowKeyFocus() override;
  // The pointer moved: the cursor goes away (it stays on its cell for next time).
  void ClearKeyFocus() override;
  bool CursorShown() const { return cursorShown_; }
  int CursorColumn() const { return cursorColumn_; }
  int CursorRow() const { return cursorRow_; }
  // The centre of the cursor's cell, in screen coordinates.
  Vec2 CursorPoint() const;

  // "Enable", "Disable", "SetTimeLevel <name>", "SetClassicLevel <name>",
  // "ClearLevel", "LeavingBegin", "LeavingEnd", "ShowGame", "HideGame",
  // "UnpausedGame", "PausedGame", "BeginDecBlend", "BeginIncBlend"; then the base.
  void Command(std::string text) override;

  Board* GetBoard() const { return board_.get(); }
  int GetState() const { return state_; }
  bool GameEnabled() const { return gameEnabled_; }
  float Blend() const { return fade_.Value(); }
  PieceVisuals& Visuals() { return *visuals_; }

  // The colour of the time panel for a time text at a millisecond tick count:
  // white, except red on every other 128 ms in the last ten seconds.
  static bool TimeShowsRed(const std::string& timeText, uint32_t milliseconds);

 private:
  // Replaces the board with the named level; without one, "TheEnd".
  void StartLevel(const std::string& command, const std::string& word, bool timed);

  void MoveCursor(int columns, int rows);
  void TurnAtCursor(bool clockwise);

  std::unique_ptr<PieceVisuals> visuals_;
  std::unique_ptr<Board> board_;
  int state_ = kRunning;
  bool gameEnabled_ = true;
  int cursorColumn_ = Board::kSize / 2;
  int cursorRow_ = Board::kSize / 2;
  bool cursorShown_ = false;
  BlendFade fade_{1.0f};
  Sprite coinIcon_, levelIcon_, clockIcon_;
};

}  // namespace tav
