// The game's application controller: builds every window, registers a handler
// for every word the windows post, and moves the game from screen to screen by
// showing, hiding, enabling and fading windows with text commands. It keeps the
// game-flow state that outlives one screen (mode, level, carried score) and the
// level progress of Data\Last.dat.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/level_progress.h"
#include "audio/sound_manager.h"
#include "gui/geometry.h"

namespace tav {

class WindowManager;

class GameApplication : public Application {
 public:
  // The number of level names built for each mode ("1" to "100").
  static constexpr int kLevelNameCount = 100;
  // What the pause screen is closing for.
  static constexpr int kPauseToMenu = 1;
  static constexpr int kPauseResume = 3;

  GameApplication();
  ~GameApplication() override;

  void SetUp() override;
  void FrameStep() override;
  void TearDown() override;
  void OnLeftButtonDown() override;
  void OnLeftButtonUp() override;
  void OnRightButtonDown() override;
  void OnRightButtonUp() override;
  void OnChar(int code, int keyData) override;
  // Keys and controller buttons go to the top window. The first one only shows the
  // focus (or the board cursor); the pointer moving hides it again.
  void OnKey(const KeyPress& press) override;
  // The close button and Alt+F4 leave exactly as the menu's Exit does.
  void OnCloseRequest() override;
  bool KeysInUse() const { return keysInUse_; }

  // The game-flow state, for tests.
  bool TimeMode() const { return timeMode_; }
  int LevelIndex() const { return levelIndex_; }
  int CarriedScore() const { return carriedScore_; }
  bool GameRunning() const { return gameRunning_; }
  const LevelProgress& Progress() const { return progress_; }

 private:
  WindowManager& Windows() const;
  // The cursor in game coordinates (origin bottom-left).
  static Vec2 CursorPoint();

  void RegisterScreenHandlers();
  void RegisterSoundHandlers();

  void RaiseTopBar();
  // True while a dialog (pause, help, options, high scores, level complete or
  // game over) is shown over the menu or the game.
  bool DialogShown() const;
  void OpenDialog(const std::string& dialog, const std::string& beginCommand,
                  const std::string& under);
  void CloseDialog(const std::string& dialog);
  void Quit();
  void StartLevel();
  void StartRequest(const std::string& argument, bool timeMode);
  void LevelComplete();
  void NextLevel();
  void GameOver();
  // Ends the game being played and fades the game screen out to the menu.
  void LeaveGame();
  void BackToMenu();
  // Sends the score of the game last started to the high scores if it has not
  // been offered yet and is not 0; true when it was sent.
  bool OfferPendingScore();
  void SetSoundVolume(const std::string& argument, bool music);
  void SetSoundSwitch(bool music, bool on);
  // Saves Data\Last.dat; a failure is logged by the writer and the run goes on.
  void SaveProgress();

  bool timeMode_ = true;
  int levelIndex_ = 0;
  int carriedScore_ = 0;
  // The game started from the menu is still being played: set by a start,
  // cleared by its game over or when its screen starts fading out to the menu.
  // Completions and game overs are acted on only while it is set.
  bool gameRunning_ = true;
  // The game started last has not yet offered its score to the high scores.
  bool scorePending_ = false;
  int pauseChoice_ = 0;
  LevelProgress progress_;
  std::array<std::string, kLevelNameCount> timeLevelNames_;
  std::array<std::string, kLevelNameCount> classicLevelNames_;
  SoundHandle clickSound_;
  SoundHandle focusSound_;
  SoundHandle refusedSound_;
  // A left or right press arrived since the last frame (see OnLeftButtonUp).
  bool leftPressPending_ = false;
  bool rightPressPending_ = false;
  bool setUpDone_ = false;
  // Keys are steering: the pointer's hover is not applied until the pointer moves
  // away from where it was when the keys took over.
  bool keysInUse_ = false;
  Vec2 pointerAtKeys_;
  // Which files the set-up has read, so that teardown writes only those.
  bool progressLoaded_ = false;
  bool settingsLoaded_ = false;
  bool hiscoresLoaded_ = false;
};

// The controller the game executable runs.
std::unique_ptr<Application> CreateGameApplication();

}  // namespace tav
