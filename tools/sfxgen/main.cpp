// sfxgen: renders one sound recipe (.sfx) into a 16-bit WAV file, or one music
// recipe (.mus) into an Ogg Vorbis loop.
//   sfxgen RECIPE OUTPUT
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/sfxgen/audio_files.h"
#include "tools/sfxgen/music.h"
#include "tools/sfxgen/sound_recipe.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: sfxgen RECIPE.sfx OUTPUT.wav | sfxgen RECIPE.mus OUTPUT.ogg\n");
    return 2;
  }
  const std::string recipePath = argv[1];
  const std::string outputPath = argv[2];
  try {
    const std::string text = ReadWholeFile(recipePath);
    if (EndsWith(recipePath, ".mus")) {
      tav::sfx::Buffer music = tav::sfx::RenderMusic(tav::sfx::ParseMusicRecipe(text));
      tav::sfx::WriteFileBytes(outputPath, tav::sfx::EncodeOggVorbis(music, 0.5f));
    } else {
      tav::sfx::Buffer sound = tav::sfx::RenderSound(tav::sfx::ParseSoundRecipe(text));
      tav::sfx::WriteFileBytes(outputPath, tav::sfx::EncodeWav(sound));
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "sfxgen: %s: %s\n", recipePath.c_str(), error.what());
    std::remove(outputPath.c_str());
    return 1;
  }
  return 0;
}
