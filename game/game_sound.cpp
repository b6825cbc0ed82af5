// The process-wide sound sink of the game and the recording sink.
#include "game/game_sound.h"

namespace tav {
namespace {

SilentSound g_silentSound;
GameSound* g_gameSound = nullptr;

}  // namespace

int RecordingSound::PlayCount(const std::string& name) const {
  int count = 0;
  for (const Event& event : events) {
    if (!event.stop && event.name == name) ++count;
  }
  return count;
}

std::vector<std::string> RecordingSound::Played() const {
  std::vector<std::string> names;
  for (const Event& event : events) {
    if (!event.stop) names.push_back(event.name);
  }
  return names;
}

void SetGameSound(GameSound* sound) {
  g_gameSound = sound;
}
GameSound& GetGameSound() {
  return g_gameSound ? *g_gameSound : g_silentSound;
}
void PlaySound(const std::string& name) {
  GetGameSound().Play(name);
}
void StopSound(const std::string& name) {
  GetGameSound().Stop(name);
}

}  // namespace tav
