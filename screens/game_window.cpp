// The game screen: level commands, input to the board, the heads-up panels and
// the fade, and the end-of-level notifications.
#include "screens/game_window.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "game/click_record.h"
#include "game/game_clock.h"
#include "gui/focus_frame.h"
#include "gui/frame_delta.h"
#include "gui/text_panel.h"
#include "screens/screen_parts.h"

namespace tav {
namespace {

// The board's cells on the screen, as the pieces take clicks: column 0 starts at
// x = 250, row 0 at y = 50, each cell 50 pixels square.
constexpr float kBoardLeft = 250.0f;
constexpr float kBoardBottom = 50.0f;
constexpr float kCellPixels = 50.0f;
// The cursor's frame lies just inside the cell's edge.
constexpr float kCursorInset = 4.0f;

// The word after `word` in `text`, up to the next blank; empty when none.
std::string WordAfter(const std::string& text, size_t wordStart, size_t wordLength) {
  size_t begin = wordStart + wordLength;
  while (begin < text.size() && text[begin] == ' ') ++begin;
  size_t end = begin;
  while (end < text.size() && text[end] != ' ') ++end;
  return text.substr(begin, end - begin);
}

void AddPanel(Window& window, const std::string& name, const std::string& picture, float y) {
  auto panel = std::make_unique<TextPanel>(name);
  panel->Create(picture, Vec2(140.0f, y), Vec2(-140.0f, y), Vec2(3.0f, y - 27.0f),
                Vec2(-253.0f, y - 27.0f), 0.0f, 0.0f);
  window.AddControl(std::move(panel));
}

}  // namespace

GameWindow::GameWindow(std::string name) : Window(std::move(name)) {
  visuals_ = std::make_unique<PieceVisuals>();
  SetPresentation(visuals_.get());

  AddPanel(*this, "ScorePanel", "score_panel.tga", 524.0f);
  AddPanel(*this, "RoundPanel", "round_panel.tga", 456.0f);
  AddPanel(*this, "TimePanel", "time_panel.tga", 388.0f);
  AddRectangularButton(*this, "ButtonPause", "button_pause", 0, 243, 12, 250, 224, 300);
  AddRectangularButton(*this, "ButtonOptions", "button_options", 0, 173, 22, 180, 234, 230);
  AddRectangularButton(*this, "ButtonHelp", "button_help", 0, 103, 12, 110, 224, 160);
  AddRectangularButton(*this, "ButtonHiscore", "button_hiscore", 0, 33, 22, 40, 234, 90);
  SetBackControl("ButtonPause");

  coinIcon_.SetTexture("coin.spt");
  levelIcon_.SetTexture("level.tga");
  clockIcon_.SetTexture("clock.spt");
}

GameWindow::~GameWindow() {
  board_.reset();  // clears the effects through our presentation
  if (&GetPresentation() == visuals_.get()) SetPresentation(nullptr);
}

void GameWindow::Update(NotificationQueue& queue) {
  fade_.Advance(FrameDelta(), *this);
  Window::Update(queue);
}

bool GameWindow::TimeShowsRed(const std::string& timeText, uint32_t milliseconds) {
  if (timeText == "---") return false;
  const double seconds = std::strtod(timeText.c_str(), nullptr);
  if (seconds > 10.0) return false;
  return (milliseconds & 0x80u) != 0;
}

void GameWindow::Draw() {
  if (board_) {
    SendToControl("ScorePanel", "SetStr " + board_->ScoreText());
    SendToControl("RoundPanel", "SetStr " + board_->LevelText());
    SendToControl("TimePanel", "SetStr " + board_->TimeText());
    SendToControl("TimePanel", TimeShowsRed(board_->TimeText(), GameMilliTicks())
                                   ? "SetColor 1 0 0"
                                   : "SetColor 1 1 1");
  }
  if (state_ == kRunning && board_) board_->Frame();
  Window::Draw();
  coinIcon_.Draw(150.0f, 499.0f);
  levelIcon_.Draw(150.0f, 431.0f);
  clockIcon_.Draw(150.0f, 363.0f);
}

void GameWindow::DrawOverlay() {
  if (state_ == kRunning && board_) {
    const int status = board_->Status();
    if (status == 2) Notify("GameOver");
    if (status == 1) Notify("LevelComplete");
  }
  // The board cursor goes above the bursts and the tutorial pictures, which the
  // status call above draws: a picture covering the board must not hide where a
  // turn by key would land.
  if (state_ == kRunning && board_ && cursorShown_) {
    const Vec2 centre = CursorPoint();
    const float half = kCellPixels / 2.0f - kCursorInset;
    DrawFocusFrame(Rect::Centred(centre, Vec2(half, half)), Alpha());
  }
  Clicks().Clear();
  const float blend = fade_.Value();
  if (blend != 0.0f) DrawScreenShade(SharedShade(), blend > 0.0f ? 1.0f - blend : -blend);
}

void GameWindow::OnMouseMove(Vec2 position) {
  if (gameEnabled_) Window::OnMouseMove(position);
}

void GameWindow::OnLeftUp(Vec2 position) {
  if (gameEnabled_) Window::OnLeftUp(position);
}

void GameWindow::OnLeftDown(Vec2 position) {
  if (!gameEnabled_) return;
  Window::OnLeftDown(position);
  Clicks().RecordLeft(static_cast<int>(position.x), static_cast<int>(position.y));
}

void GameWindow::OnRightDown(Vec2 position) {
  if (!gameEnabled_) return;
  Window::OnRightDown(position);
  Clicks().RecordRight(static_cast<int>(position.x), static_cast<int>(position.y));
}

Vec2 GameWindow::CursorPoint() const {
  return Vec2(kBoardLeft + kCellPixels * (static_cast<float>(cursorColumn_) + 0.5f),
              kBoardBottom + kCellPixels * (static_cast<float>(cursorRow_) + 0.5f));
}

void GameWindow::ShowKeyFocus() {
  if (FocusedControl() == nullptr) cursorShown_ = true;
}

void GameWindow::ClearKeyFocus() {
  cursorShown_ = false;
  Window::ClearKeyFocus();
}

void GameWindow::MoveCursor(int columns, int rows) {
  if (!cursorShown_) {
    cursorShown_ = true;  // the first press shows where the cursor is
    return;
  }
  cursorColumn_ = std::clamp(cursorColumn_ + columns, 0, Board::kSize - 1);
  cursorRow_ = std::clamp(cursorRow_ + rows, 0, Board::kSize - 1);
}

void GameWindow::TurnAtCursor(bool clockwise) {
  if (!cursorShown_) {
    cursorShown_ = true;
    return;
  }
  // Exactly the press a click on the cell's centre records: the pieces apply their
  // own rules (resting, unmarked, the clock started) and play their own sounds.
  const Vec2 point = CursorPoint();
  if (clockwise) {
    Clicks().RecordLeft(static_cast<int>(point.x), static_cast<int>(point.y));
  } else {
    Clicks().RecordRight(static_cast<int>(point.x), static_cast<int>(point.y));
  }
}

bool GameWindow::OnKey(const KeyPress& press) {
  if (!TakesKeys()) return false;
  KeyPress key = press;
  if (key.key == InputKey::kPadStart || key.key == InputKey::kPadBack) key.key = InputKey::kEscape;
  if (key.key == InputKey::kEscape) return Window::OnKey(key);
  if (key.key == InputKey::kTab) {
    const int step = key.shift ? -1 : 1;
    if (FocusedControl() != nullptr && FocusStepWraps(step)) {
      Window::ClearKeyFocus();
      cursorShown_ = true;
      return true;
    }
    cursorShown_ = false;
    return Window::OnKey(key);
  }
  // A side button with the focus takes the keys as any window's buttons do.
  if (FocusedControl() != nullptr) return Window::OnKey(key);
  switch (key.key) {
    case InputKey::kUp:
    case InputKey::kW:
      MoveCursor(0, 1);
      return true;
    case InputKey::kDown:
    case InputKey::kS:
      MoveCursor(0, -1);
      return true;
    case InputKey::kLeft:
    case InputKey::kA:
      MoveCursor(-1, 0);
      return true;
    case InputKey::kRight:
    case InputKey::kD:
      MoveCursor(1, 0);
      return true;
    case InputKey::kEnter:
    case InputKey::kSpace:
    case InputKey::kPadA:
      TurnAtCursor(!key.shift);
      return true;
    case InputKey::kPadB:
      TurnAtCursor(false);
      return true;
    default:
      return false;
  }
}

void GameWindow::StartLevel(const std::string& command, const std::string& word, bool timed) {
  const size_t at = command.find(word);
  const std::string level = WordAfter(command, at, word.size());
  // There is no level after the last one: the game is over, the board stays.
  if (level.find("61") != std::string::npos) {
    Notify("TheEnd");
    return;
  }
  board_.reset();
  board_ = std::make_unique<Board>();
  cursorColumn_ = Board::kSize / 2;
  cursorRow_ = Board::kSize / 2;
  if (!board_->LoadLevel(level, timed)) {
    board_.reset();
    Notify("TheEnd");
  }
}

void GameWindow::Command(std::string text) {
  if (text == "Enable") {
    // Freeze and Thaw pair up: a second Enable must not thaw what the first one
    // already thawed.
    if (!gameEnabled_ && board_) board_->Thaw();
    gameEnabled_ = true;
  } else if (text == "Disable") {
    Window::OnMouseMove(Vec2(0.0f, 0.0f));
    // A second Disable must not freeze the frozen state in as the one to restore.
    if (gameEnabled_ && board_) board_->Freeze();
    gameEnabled_ = false;
  } else if (text.find("SetTimeLevel") != std::string::npos) {
    StartLevel(text, "SetTimeLevel", true);
  } else if (text.find("SetClassicLevel") != std::string::npos) {
    StartLevel(text, "SetClassicLevel", false);
  } else if (text == "ClearLevel") {
    board_.reset();
  } else if (text == "LeavingBegin" || text == "ShowGame" || text == "UnpausedGame") {
    state_ = kRunning;
  } else if (text == "LeavingEnd" || text == "HideGame") {
    state_ = kHidden;
  } else if (text == "PausedGame") {
    state_ = kPaused;
  } else {
    fade_.OnCommand(text);
  }
  Window::Command(std::move(text));
}

}  // namespace tav
