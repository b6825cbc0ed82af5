// The game's sound names mapped onto sound handles of the effects library.
#include "screens/game_sound_adapter.h"

#include "base/case_compare.h"

namespace tav {

void GameSoundAdapter::Load(const std::vector<std::string>& names) {
  for (const std::string& name : names) FindOrLoad(name);
}

void GameSoundAdapter::Release() {
  for (auto& entry : handles_) entry->handle.Release();
  handles_.clear();
}

SoundHandle* GameSoundAdapter::Find(const std::string& name) {
  for (auto& entry : handles_) {
    if (EqualIgnoringCase(entry->name, name)) return &entry->handle;
  }
  return nullptr;
}

SoundHandle& GameSoundAdapter::FindOrLoad(const std::string& name) {
  if (SoundHandle* handle = Find(name)) {
    // A handle made while no device was open may be loaded now.
    if (handle->Empty()) handle->Load(name, SoundManager::Instance().EffectsLibrary());
    return *handle;
  }
  auto entry = std::make_unique<NamedHandle>();
  entry->name = name;
  entry->handle.Load(name, SoundManager::Instance().EffectsLibrary());
  handles_.push_back(std::move(entry));
  return handles_.back()->handle;
}

void GameSoundAdapter::Play(const std::string& name) {
  FindOrLoad(name).Play(false);
}

void GameSoundAdapter::Stop(const std::string& name) {
  if (SoundHandle* handle = Find(name)) handle->Stop();
}

}  // namespace tav
