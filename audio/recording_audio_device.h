// An audio device that plays nothing and writes down what was asked of it, for
// tests: which outputs were tried, which files were opened, and every play, stop,
// resume and volume change of every sound.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audio/audio_device.h"

namespace tav {

// The state of one sound the recorder opened.
struct RecordedSound {
  std::string path;
  std::string fileName;  // the last path component
  bool playing = false;
  bool repeat = false;
  float volume = 1.0f;
  int starts = 0;   // PlayFromStart calls
  int stops = 0;
  int resumes = 0;  // Resume calls that continued a stopped sound
};

class RecordingAudioDevice : public AudioDevice {
 public:
  RecordingAudioDevice();

  // Which output names Open accepts ("" is the default output). Default: only "".
  void SetAvailableOutputs(std::set<std::string> names) { outputs_ = std::move(names); }
  // By default a sound opens when its path names an existing file; with this set,
  // every path opens.
  void SetOpenAnyPath(bool openAny) { openAnyPath_ = openAny; }

  // Every call, in order: "open <name>", "close", "load <path>", "start <file>",
  // "start <file> repeat", "stop <file>", "resume <file>", "volume <file> <v>".
  const std::vector<std::string>& Calls() const { return *calls_; }
  void ClearCalls() { calls_->clear(); }
  // The sounds opened so far, in order, including those nobody holds any more.
  const std::vector<std::shared_ptr<RecordedSound>>& Sounds() const { return sounds_; }
  // The most recently opened sound with this file name, or null.
  const RecordedSound* Find(const std::string& fileName) const;
  bool IsOpen() const { return open_; }

  bool Open(const std::string& name) override;
  std::string Description() override { return "recorder"; }
  void Close() override;
  std::shared_ptr<SoundStream> OpenSound(const std::string& path) override;

 private:
  std::shared_ptr<std::vector<std::string>> calls_;
  std::vector<std::shared_ptr<RecordedSound>> sounds_;
  std::set<std::string> outputs_ = {""};
  bool openAnyPath_ = false;
  bool open_ = false;
};

}  // namespace tav
