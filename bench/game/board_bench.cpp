// How long the board's per-frame work takes on a full, busy board.
#include <benchmark/benchmark.h>

#include "game/board.h"
#include "game/click_record.h"
#include "game/game_clock.h"
#include "game/random_source.h"

namespace tav {
namespace {

// A level of every kind with random directions, so that lines form and refill runs.
LevelDefinition BusyLevel() {
  SeededRandom random(99);
  LevelDefinition level;
  level.name = "bench";
  for (int i = 0; i < Board::kCellCount; ++i) {
    level.levelData += static_cast<char>('0' + random.Next() % 8);
    level.levelData += static_cast<char>('0' + random.Next() % 4);
  }
  level.priorities = {30, 30, 4, 30, 4, 4, 6, 2, 2};
  level.blocksTarget = 1000000;
  level.timeLimit = 100000;
  return level;
}

void BM_PlayFrame(benchmark::State& state) {
  FixedStepClock clock(1.0f / 60.0f);
  SeededRandom random(1);
  SetGameClock(&clock);
  SetRandomSource(&random);
  Board board;
  board.SetUpLevel(BusyLevel(), false);
  for (auto _ : state) {
    board.Frame();
    benchmark::DoNotOptimize(board.Status());
    Clicks().Clear();
    clock.AdvanceFrame();
  }
  SetGameClock(nullptr);
  SetRandomSource(nullptr);
}
BENCHMARK(BM_PlayFrame);

void BM_ChainSearchAndMoveCheck(benchmark::State& state) {
  SeededRandom random(1);
  SetRandomSource(&random);
  Board board;
  board.SetUpLevel(BusyLevel(), false);
  for (auto _ : state) {
    board.ChainSearch();
    board.MoveCheck();
  }
  SetRandomSource(nullptr);
}
BENCHMARK(BM_ChainSearchAndMoveCheck);

}  // namespace
}  // namespace tav
