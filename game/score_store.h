// The player's points: one store for the whole run, outliving every board. The
// application sets it when a level starts and reads it for the level-complete
// screen and the high-score table; the score panel shows the displayed score,
// which counts up toward the score.
#pragma once

namespace tav {

class ScoreStore {
 public:
  void SetScore(int value) { score_ = displayedScore_ = value; }
  void AddScore(int delta) { score_ += delta; }
  int GetScore() const { return score_; }
  int GetDisplayedScore() const { return displayedScore_; }
  // Once per game frame: the displayed score counts toward the score, fast while the
  // gap is large, never past it.
  void UpdateDisplayedScore(float frameTime);

  static constexpr int kFastGap = 2000;
  static constexpr float kFastRate = 8000.0f;  // points per second
  static constexpr float kSlowRate = 1000.0f;

 private:
  int score_ = 0;
  int displayedScore_ = 0;
};

// The one process-wide store.
ScoreStore& Scores();

}  // namespace tav
