// Plays the game's sound requests ("rotate.wav", "time.wav", ...) through sound
// handles of the effects library. The game-screen sounds are loaded up front; a
// name outside that set is loaded on its first request, so nothing the game asks
// for is lost, and a sound that cannot be loaded stays silent.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/sound_manager.h"
#include "game/game_sound.h"

namespace tav {

class GameSoundAdapter : public GameSound {
 public:
  // Loads a handle for each name from the effects library (nothing while no
  // device is open: the game then stays silent).
  void Load(const std::vector<std::string>& names);
  // Releases every handle.
  void Release();

  // Plays the sound once from its beginning.
  void Play(const std::string& name) override;
  void Stop(const std::string& name) override;

  // The handle of a sound (case-insensitive), or null when it was never asked for.
  SoundHandle* Find(const std::string& name);
  size_t HandleCount() const { return handles_.size(); }

 private:
  struct NamedHandle {
    std::string name;
    SoundHandle handle;
  };
  SoundHandle& FindOrLoad(const std::string& name);

  std::vector<std::unique_ptr<NamedHandle>> handles_;
};

}  // namespace tav
