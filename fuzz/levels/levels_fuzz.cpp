// Feeds bytes to the level loader as Levels.ini, in both modes, and plays a level
// that loads for a few seconds of game time with clicks on the board, at the fixed
// frame step and with a seeded random source, as the simulator does.
#include "base/log.h"
#include "fuzz/support/fuzz_support.h"
#include "game/board.h"
#include "game/click_record.h"
#include "game/game_clock.h"
#include "game/random_source.h"
#include "game/score_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tav::FixedStepClock clock(0.05f);
  static tav::SeededRandom random(7);
  tav::SetGameClock(&clock);
  tav::SetRandomSource(&random);
  tav::fuzz::ResetLog();
  const std::string path = tav::fuzz::WriteScratchFile("Data/Levels.ini", data, size);
  for (bool timed : {false, true}) {
    tav::Board board;
    if (!board.LoadLevelFromFile(path, "1", timed)) continue;
    tav::Scores().SetScore(0);
    // 120 frames of 50 ms: the pieces land, chains and refills run, the clock ticks.
    for (int frame = 0; frame < 120 && board.Status() == 0; ++frame) {
      if (frame % 7 == 3) tav::Clicks().RecordLeft(275 + 50 * (frame % 10), 75 + 50 * (frame % 9));
      if (frame % 11 == 5) tav::Clicks().RecordRight(275 + 50 * (frame % 8), 75 + 50 * (frame % 10));
      board.Frame();
      tav::Clicks().Clear();
      clock.AdvanceFrame();
    }
  }
  tav::SetRandomSource(nullptr);
  tav::SetGameClock(nullptr);
  return 0;
}
