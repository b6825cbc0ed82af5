// The game test fixture.
#include "game_test_support.h"

namespace tav {

void GameTest::SetUp() {
  ResetGameStateForTests();
  SetPresentation(&presentation);
  SetGameSound(&sound);
  SetGameClock(&clock);
  SetRandomSource(&random);
}

void GameTest::TearDown() {
  board.reset();
  SetPresentation(nullptr);
  SetGameSound(nullptr);
  SetGameClock(nullptr);
  SetRandomSource(nullptr);
}

LevelDefinition GameTest::QuietLevel(const std::string& name) {
  static const char kColours[3] = {'0', '1', '3'};
  LevelDefinition level;
  level.name = name;
  for (int y = 0; y < Board::kSize; ++y) {
    for (int x = 0; x < Board::kSize; ++x) {
      level.levelData += kColours[(x + 2 * y) % 3];
      level.levelData += '0';
    }
  }
  level.priorities = {1, 1, 0, 1, 0, 0, 0, 0, 0};
  level.blocksTarget = 100;
  level.timeLimit = 60;
  return level;
}

Board& GameTest::MakeBoard(const LevelDefinition& level, bool timed) {
  board.reset();
  board = std::make_unique<Board>();
  board->SetUpLevel(level, timed);
  for (int x = 0; x < Board::kSize; ++x) {
    for (int y = 0; y < Board::kSize; ++y) {
      if (Piece* piece = board->PieceAt(x, y)) piece->SetFallHeight(0.0f);
    }
  }
  presentation.Clear();
  sound.Clear();
  return *board;
}

Piece& GameTest::Put(int x, int y, int kind, int direction) {
  std::unique_ptr<Piece> piece = CreatePiece(kind);
  piece->Reset();
  piece->SetDirection(direction);
  Piece& placed = *piece;
  board->PlacePiece(x, y, std::move(piece));
  return placed;
}

int GameTest::RunFrame() {
  board->Frame();
  int status = board->Status();
  Clicks().Clear();
  clock.AdvanceFrame();
  return status;
}

int GameTest::RunFrames(int n) {
  int status = 0;
  for (int i = 0; i < n; ++i) status = RunFrame();
  return status;
}

void GameTest::RunUntilChainSearch() {
  do {
    RunFrame();
  } while (FrameCounter() % 10 != 0);
}

void GameTest::ClickCell(int x, int y, bool left) {
  int px = 275 + 50 * x;
  int py = 75 + 50 * y;
  if (left) {
    Clicks().RecordLeft(px, py);
  } else {
    Clicks().RecordRight(px, py);
  }
}

}  // namespace tav
