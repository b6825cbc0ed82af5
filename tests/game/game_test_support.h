// A game fixture: recording presentation and sound, a 60 Hz fixed-step clock, a
// seeded random source and a fresh board built from a picture of its cells.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "game/board.h"
#include "game/click_record.h"
#include "game/game_clock.h"
#include "game/game_sound.h"
#include "game/presentation.h"
#include "game/random_source.h"
#include "game/score_store.h"

namespace tav {

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A level whose board has no two compatible neighbours (blue, red and green in a
  // diagonal pattern, all pointing up) and refills with plain arrows.
  static LevelDefinition QuietLevel(const std::string& name = "quiet");

  // Builds the board from `level`, lands every piece and clears the recordings.
  Board& MakeBoard(const LevelDefinition& level, bool timed = false);
  Board& MakeQuietBoard(bool timed = false) { return MakeBoard(QuietLevel(), timed); }

  // Replaces the piece at (x, y) with a landed piece of `kind` pointing `direction`.
  Piece& Put(int x, int y, int kind, int direction);

  // One frame as the game window runs it: Frame, Status, clicks cleared, clock on.
  int RunFrame();
  // Runs n frames; returns the status of the last one.
  int RunFrames(int n);
  // Runs frames until the frame counter is a multiple of 10 (a chain-search frame).
  void RunUntilChainSearch();
  // Runs frames for about `seconds`.
  int RunSeconds(float seconds) { return RunFrames(static_cast<int>(seconds * 60.0f + 0.5f)); }

  // Presses a mouse button at the centre of cell (x, y), for the next frame.
  static void ClickCell(int x, int y, bool left = true);

  RecordingPresentation presentation;
  RecordingSound sound;
  FixedStepClock clock{1.0f / 60.0f};
  SeededRandom random{12345};
  std::unique_ptr<Board> board;
};

}  // namespace tav
