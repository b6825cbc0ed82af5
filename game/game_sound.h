// The sounds the game asks for, by file name ("rotate.wav"). The audio layer plays
// them; tests record them; the simulator records them into its event list.
#pragma once

#include <string>
#include <vector>

namespace tav {

class GameSound {
 public:
  virtual ~GameSound() = default;
  virtual void Play(const std::string& name) = 0;
  virtual void Stop(const std::string& name) = 0;
};

class SilentSound : public GameSound {
 public:
  void Play(const std::string&) override {}
  void Stop(const std::string&) override {}
};

// Writes down every request in order.
class RecordingSound : public GameSound {
 public:
  struct Event {
    std::string name;
    bool stop = false;
  };

  void Play(const std::string& name) override { events.push_back({name, false}); }
  void Stop(const std::string& name) override { events.push_back({name, true}); }

  // How often `name` was played (stops not counted).
  int PlayCount(const std::string& name) const;
  // The played names in order, stops left out.
  std::vector<std::string> Played() const;
  void Clear() { events.clear(); }

  std::vector<Event> events;
};

// Installs the process-wide sound sink (not owned). Null restores silence.
void SetGameSound(GameSound* sound);
GameSound& GetGameSound();
void PlaySound(const std::string& name);
void StopSound(const std::string& name);

}  // namespace tav
