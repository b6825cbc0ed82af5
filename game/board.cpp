// The board's life: construction, level loading, piece generation, and the frame
// driver with the level clock, progress, end conditions and tutorial pictures.
#include "game/board.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "base/ini_file.h"
#include "base/log.h"
#include "game/click_record.h"
#include "game/game_clock.h"
#include "game/game_sound.h"
#include "game/presentation.h"
#include "game/random_source.h"
#include "game/score_store.h"

namespace tav {
namespace {

Board* g_currentBoard = nullptr;
uint64_t g_frameCounter = 0;
WarningSink g_warningSink = nullptr;

void Warn(const std::string& text) {
  if (g_warningSink) {
    g_warningSink(text);
  } else {
    LogLine("%s", text.c_str());
  }
}

}  // namespace

void SetWarningSink(WarningSink sink) {
  g_warningSink = sink;
}

Board* CurrentBoard() {
  return g_currentBoard;
}
uint64_t FrameCounter() {
  return g_frameCounter;
}

void ResetGameStateForTests() {
  ResetSymbolCounter();
  g_frameCounter = 0;
  Scores().SetScore(0);
  Clicks() = ClickRecord();
}

Board::Board() {
  g_currentBoard = this;
}

Board::~Board() {
  DeleteAllPieces();
  priorities_.clear();
  GetPresentation().ClearEffects();
  if (g_currentBoard == this) g_currentBoard = nullptr;
}

void Board::DeleteAllPieces() {
  for (auto& cell : cells_) {
    if (cell) cell->Release();
    cell.reset();
  }
}

Piece* Board::PieceAt(int x, int y) const {
  if (!OnBoard(x, y)) return nullptr;
  return cells_[x * kSize + y].get();
}

void Board::PlacePiece(int x, int y, std::unique_ptr<Piece> piece) {
  if (!OnBoard(x, y)) return;
  if (piece) piece->SetCell(x, y);
  cells_[x * kSize + y] = std::move(piece);
}

bool Board::LoadLevel(const std::string& name, bool timed) {
  return LoadLevelFromFile(std::string(), name, timed);
}

bool Board::LoadLevelFromFile(const std::string& path, const std::string& name, bool timed) {
  timed_ = timed;
  levelName_ = name;
  loadFault_.clear();
  IniFile file;
  bool opened = path.empty() ? file.Open("Data\\Levels.ini") : file.OpenPath(path);
  if (!opened) {
    loadFault_ = "cannot open the level file";
    return false;
  }
  LevelDefinition level;
  if (!ReadLevel(file, name, &level, &loadFault_)) {
    // A missing level is the normal end of the level sequence; a level that exists
    // but cannot be played is a data fault worth a log line.
    if (loadFault_ != "no LevelData") {
      Warn("WARNING: level \"" + name + "\" not loaded: " + loadFault_ + "\n");
    }
    return false;
  }
  SetUpLevel(level, timed);
  return true;
}

void Board::SetUpLevel(const LevelDefinition& level, bool timed) {
  timed_ = timed;
  levelName_ = level.name;
  letterProbability_ = level.letterProbability;
  DeleteAllPieces();
  for (int g = 0; g < kSize; ++g) {
    for (int i = 0; i < kSize; ++i) {
      size_t at = static_cast<size_t>(g * 20 + i * 2);
      std::unique_ptr<Piece> piece = CreatePiece(level.levelData[at] - '0');
      if (!piece) continue;
      piece->Reset();
      piece->SetCell(i, g);
      piece->SetDirection(level.levelData[at + 1] - '0');
      piece->SetFallHeight(512.0f + 100.0f * static_cast<float>(g));
      cells_[i * kSize + g] = std::move(piece);
    }
  }
  priorities_ = level.priorities;
  // A level that was not checked may hold weights that overflow an int together; the
  // sum is kept in 64 bits and such a board simply draws nothing.
  prioritySum_ = 0;
  for (int priority : priorities_) prioritySum_ += priority;
  blocksTarget_ = level.blocksTarget;
  timeLimit_ = level.timeLimit;
}

std::unique_ptr<Piece> Board::GeneratePiece() {
  if (priorities_.empty() || prioritySum_ <= 0 || prioritySum_ > INT_MAX) return nullptr;
  // 64-bit arithmetic: with weights summing to INT_MAX the running start passes the
  // int range on the last kinds.
  const int64_t r = RandomNumber() % static_cast<uint32_t>(prioritySum_);
  int64_t start = 1;
  for (size_t k = 0; k < priorities_.size(); ++k) {
    if (start <= r + 1 && r + 1 < start + priorities_[k]) {
      return CreatePiece(static_cast<int>(k));
    }
    start += priorities_[k];
  }
  return nullptr;
}

void Board::Freeze() {
  savedLocked_ = locked_;
  locked_ = true;
}

void Board::Thaw() {
  locked_ = savedLocked_;
}

void Board::Frame() {
  Presentation& presentation = GetPresentation();
  float dt = GameFrameTime();
  presentation.ClearFrame();
  if (!locked_) idleTime_ += dt;
  startTime_ += dt;
  if (!startSoundPlayed_ && startTime_ > kStartSoundTime) {
    startSoundPlayed_ = true;
    PlaySound("start_game.wav");
  }
  presentation.DrawBackground();

  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (Piece* piece = PieceAt(x, y)) {
        piece->Update();
        piece->Draw();
      }
    }
  }
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (Piece* piece = PieceAt(x, y)) piece->DrawOverlay();
    }
  }

  ++g_frameCounter;
  bool tenthFrame = g_frameCounter % 10 == 0;
  if (!locked_ && tenthFrame) ChainSearch();
  Refill();
  if (tenthFrame) MoveCheck();

  UpdateProgress(dt);
  presentation.DrawProgress(displayedProgress_, elapsed_);

  Scores().UpdateDisplayedScore(dt);
  UpdateTexts();

  if (timed_ && !gameOver_ && !complete_ &&
      std::floor(static_cast<float>(timeLimit_) - elapsed_) <= 10.0f && tickTime_ > kTickInterval) {
    PlaySound("time.wav");
    tickTime_ = 0.0f;
  }
  moveCheckTime_ += dt;
  // A tutorial picture over the board holds the clock: the player is reading.
  if (clockStarted_ && !locked_ && !TutorialShowing()) elapsed_ += dt;
  tickTime_ += dt;
  if (timed_ && elapsed_ >= static_cast<float>(timeLimit_)) {
    elapsed_ = static_cast<float>(timeLimit_);
    if (!timeOutHandled_) {
      timeOutHandled_ = true;
      presentation.ClearParticles();
      StopSound("time.wav");
    }
    gameOver_ = true;
    locked_ = true;
  }

  symbols_.Update(dt, &blocksCleared_);

  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      Piece* piece = PieceAt(x, y);
      if (piece && piece->Letter() >= 0 && piece->IsVisible()) {
        presentation.DrawSymbolSphere(*piece);
      }
    }
  }
}

void Board::UpdateProgress(float frameTime) {
  // Without a target there is no progress to show (a board without a level).
  if (blocksTarget_ > 0) {
    double ratio = static_cast<double>(blocksCleared_) / static_cast<double>(blocksTarget_);
    if (displayedProgress_ < ratio) {
      displayedProgress_ += static_cast<double>(frameTime) * (ratio - displayedProgress_) * 5.0;
      if (displayedProgress_ > ratio || ratio - displayedProgress_ < kProgressSnap) {
        displayedProgress_ = ratio;
      }
    }
  }
  if (displayedProgress_ >= 1.0) {
    displayedProgress_ = 1.0;
    if (!complete_) {
      locked_ = true;
      complete_ = true;
      PlaySound("lc_effect.wav");
      StopSound("time.wav");
    }
  }
}

int Board::RemainingSeconds() const {
  const float remaining = std::floor(static_cast<float>(timeLimit_) - elapsed_);
  // 2^31 is the first float past INT_MAX; a cast of it or beyond is undefined.
  if (remaining >= 2147483648.0f) return INT_MAX;
  if (remaining < -2147483648.0f) return INT_MIN;
  return static_cast<int>(remaining);
}

void Board::UpdateTexts() {
  char text[32];
  std::snprintf(text, sizeof(text), "%d", Scores().GetDisplayedScore());
  scoreText_ = text;
  levelText_ = levelName_;
  if (timed_) {
    std::snprintf(text, sizeof(text), "%d", RemainingSeconds());
    timeText_ = text;
  } else {
    timeText_ = "---";
  }
}

int Board::Status() {
  Presentation& presentation = GetPresentation();
  float dt = GameFrameTime();
  DrawLinks();
  presentation.UpdateAndDrawEffects();
  if (Clicks().leftClick || Clicks().rightClick) clockStarted_ = true;
  DrawTutorial(dt);
  if (complete_) {
    completeTime_ += dt;
    if (completeTime_ > kCompleteWait) return 1;
  }
  return gameOver_ ? 2 : 0;
}

const char* Board::TutorialPicture() const {
  if (levelName_ == "1") return "Hint.tga";
  if (levelName_ == "2") return "Hint1.tga";
  if (levelName_ == "3") return "Hint2.tga";
  if (levelName_ == "4") return "Hint3.tga";
  return nullptr;
}

bool Board::TutorialShowing() const {
  if (TutorialPicture() == nullptr) return false;
  // Level 1's picture stays until the first line is cleared; the others until
  // their fade after the first click has ended.
  if (levelName_ == "1") return blocksCleared_ == 0;
  const float shown = hintClock_ - hintFade_;
  return shown >= 0.0f && shown < 1.0f;
}

void Board::DrawTutorial(float frameTime) {
  float ms = static_cast<float>(GameMilliTicks());
  const bool showing = TutorialShowing();
  if (showing && levelName_ == "1") {
    // Shown from the start, fading in, so the player sees what to do before the
    // first click.
    float scale = 0.95f + 0.05f * std::fabs(std::sin(0.0033333f * ms));
    float alpha = std::min(1.0f, 1.5f * hintClock_);
    GetPresentation().DrawHint("Hint.tga", 385.0f, 235.0f, false, scale, alpha);
    hintClock_ += frameTime;
    return;
  }
  const char* picture = TutorialPicture();
  float shown = hintClock_ - hintFade_;
  if (showing) {
    float scale = 1.0f + 0.05f * std::fabs(std::sin(0.005f * ms));
    GetPresentation().DrawHint(picture, 494.0f, 328.0f, true, scale, std::fabs(shown - 1.0f));
    float rate = levelName_ == "2" ? 2.0f : 1.0f;
    hintClock_ += rate * frameTime;
    if (!clockStarted_) hintFade_ += rate * frameTime;
    return;
  }
  clockStarted_ = true;
}

}  // namespace tav
