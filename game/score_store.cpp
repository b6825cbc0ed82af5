// The process-wide score store and the count-up of the displayed score.
#include "game/score_store.h"

#include <cmath>

#include "game/click_record.h"

namespace tav {

void ScoreStore::UpdateDisplayedScore(float frameTime) {
  // The gap is taken as unsigned, so a displayed score above the score (the score was
  // set lower) also takes the fast rate and is then clamped.
  unsigned gap = static_cast<unsigned>(score_) - static_cast<unsigned>(displayedScore_);
  float rate = gap > static_cast<unsigned>(kFastGap) ? kFastRate : kSlowRate;
  displayedScore_ += static_cast<int>(std::floor(frameTime * rate));
  if (displayedScore_ > score_) displayedScore_ = score_;
}

ScoreStore& Scores() {
  static ScoreStore store;
  return store;
}

ClickRecord& Clicks() {
  static ClickRecord record;
  return record;
}

}  // namespace tav
