// The game's view of time: by default the frame clock and the platform's tick count.
#include "game/game_clock.h"

#include "base/frame_clock.h"

namespace tav {
namespace {

class FrameClockTime : public GameClock {
 public:
  float FrameTime() override { return tav::FrameTime(); }
  uint32_t MilliTicks() override { return GetTimeSource().MilliTicks(); }
};

FrameClockTime g_frameClockTime;
GameClock* g_gameClock = nullptr;

}  // namespace

void SetGameClock(GameClock* clock) {
  g_gameClock = clock;
}
GameClock& GetGameClock() {
  return g_gameClock ? *g_gameClock : g_frameClockTime;
}
float GameFrameTime() {
  return GetGameClock().FrameTime();
}
uint32_t GameMilliTicks() {
  return GetGameClock().MilliTicks();
}

}  // namespace tav
