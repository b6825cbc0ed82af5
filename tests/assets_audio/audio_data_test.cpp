// Tests of the built sounds in Data/Audio: every sound the game's code or the
// asset manifest names is there; every WAV is 16-bit PCM of a sane length,
// peaks just under full scale without clipping and starts and ends silent;
// the music is a valid Ogg Vorbis loop of one to two minutes without a seam;
// and rendering the recipes again gives the same bytes.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kAudioDir = TAV_AUDIO_DIR;
const fs::path kSourceDir = TAV_SOURCE_DIR;

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The sound names quoted in source text: a double quote, letters, digits, "_"
// or "!", then ".wav" or ".ogg" and the closing quote.
void CollectQuotedSoundNames(const std::string& text, std::set<std::string>& names) {
  auto isNameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '!'; };
  for (size_t open = text.find('"'); open != std::string::npos; open = text.find('"', open + 1)) {
    size_t end = open + 1;
    while (end < text.size() && isNameChar(text[end])) end++;
    if (end == open + 1 || end + 5 > text.size() || text[end + 4] != '"') continue;
    const std::string extension = text.substr(end, 4);
    if (extension == ".wav" || extension == ".ogg") names.insert(text.substr(open + 1, end + 3 - open));
  }
}

// Every string literal naming a .wav or .ogg file in the game's own code.
std::set<std::string> SoundNamesInCode() {
  static const char* kCodeDirs[] = {"app", "audio", "base", "game", "gui", "platform", "render", "screens"};
  std::set<std::string> names;
  for (const char* dir : kCodeDirs) {
    if (!fs::is_directory(kSourceDir / dir)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(kSourceDir / dir)) {
      const std::string ext = entry.path().extension().string();
      if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
      CollectQuotedSoundNames(ReadBytes(entry.path()), names);
    }
  }
  return names;
}

// The file names of the "sound" rows below the manifest's sounds line.
std::set<std::string> SoundNamesInManifest() {
  std::ifstream manifest(kSourceDir / "assets" / "manifest.txt");
  std::set<std::string> names;
  bool inSounds = false;
  for (std::string line; std::getline(manifest, line);) {
    if (line.rfind("# --- sounds ---", 0) == 0) inSounds = true;
    std::istringstream words(line);
    std::string kind, name;
    if (inSounds && words >> kind >> name && kind == "sound") names.insert(name);
  }
  return names;
}

std::set<std::string> BuiltSoundNames() {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(kAudioDir)) names.insert(entry.path().filename().string());
  return names;
}

TEST(AudioData, FindsQuotedSoundNames) {
  std::set<std::string> names;
  CollectQuotedSoundNames(
      "Play(\"rotate.wav\"); Load(\"Music.ogg\", x); \"wow!.wav\" \"a b.wav\" \"x.wave\" \"\"  \".wav\" \"tail.wav",
      names);
  EXPECT_EQ(names, (std::set<std::string>{"rotate.wav", "Music.ogg", "wow!.wav"}));
}

TEST(AudioData, EverySoundTheCodeAndManifestNameIsBuilt) {
  EXPECT_GE(SoundNamesInCode().size(), 15u);
  const std::set<std::string> built = BuiltSoundNames();
  const std::set<std::string> manifest = SoundNamesInManifest();
  EXPECT_TRUE(manifest.count("Music.ogg"));
  EXPECT_GE(manifest.size(), 20u);
  for (const std::string& name : SoundNamesInCode()) {
    EXPECT_TRUE(built.count(name)) << name << " is played by the code but not built";
    EXPECT_TRUE(manifest.count(name)) << name << " is played by the code but not in the manifest";
  }
  for (const std::string& name : manifest) EXPECT_TRUE(built.count(name)) << name << " is in the manifest but not built";
  for (const std::string& name : built) EXPECT_TRUE(manifest.count(name)) << name << " is built but not in the manifest";
}

// A parsed 16-bit PCM WAV file.
struct Wav {
  uint16_t format = 0, channels = 0, bits = 0;
  uint32_t rate = 0;
  std::vector<int16_t> samples;
};

uint32_t Le32(const std::string& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}
uint16_t Le16(const std::string& b, size_t at) {
  uint16_t v;
  std::memcpy(&v, b.data() + at, 2);
  return v;
}

// Walks the RIFF chunks; false with a reason if the file is not a sound WAV.
bool ParseWav(const std::string& bytes, Wav& wav, std::string& why) {
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
    why = "no RIFF/WAVE header";
    return false;
  }
  if (Le32(bytes, 4) != bytes.size() - 8) {
    why = "RIFF size does not match the file";
    return false;
  }
  bool haveFormat = false;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const std::string id = bytes.substr(at, 4);
    const uint32_t size = Le32(bytes, at + 4);
    if (size > bytes.size() - at - 8) {
      why = "chunk " + id + " runs past the end";
      return false;
    }
    if (id == "fmt " && size >= 16) {
      wav.format = Le16(bytes, at + 8);
      wav.channels = Le16(bytes, at + 10);
      wav.rate = Le32(bytes, at + 12);
      wav.bits = Le16(bytes, at + 22);
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat) break;
      wav.samples.resize(size / 2);
      std::memcpy(wav.samples.data(), bytes.data() + at + 8, wav.samples.size() * 2);
      return true;
    }
    at += 8 + size + (size & 1);
  }
  why = "no fmt chunk before the data";
  return false;
}

TEST(AudioData, EveryEffectIsCleanSixteenBitPcmAtOneLoudness) {
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(kAudioDir)) {
    if (entry.path().extension() != ".wav") continue;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    Wav wav;
    std::string why;
    ASSERT_TRUE(ParseWav(ReadBytes(entry.path()), wav, why)) << why;
    EXPECT_EQ(wav.format, 1);
    EXPECT_EQ(wav.bits, 16);
    EXPECT_TRUE(wav.channels == 1 || wav.channels == 2);
    EXPECT_EQ(wav.rate, 44100u);
    ASSERT_GT(wav.channels, 0);
    const double seconds = static_cast<double>(wav.samples.size() / wav.channels) / wav.rate;
    EXPECT_GE(seconds, 0.03);
    EXPECT_LE(seconds, 4.0);
    int peak = 0;
    size_t clipped = 0;
    for (int16_t s : wav.samples) {
      peak = std::max(peak, std::abs(static_cast<int>(s)));
      if (s >= 32767 || s <= -32767) clipped++;
    }
    const double peakDb = 20.0 * std::log10(peak / 32768.0);
    EXPECT_GE(peakDb, -3.0);
    EXPECT_LE(peakDb, -0.5);
    EXPECT_EQ(clipped, 0u);
    // No click at either end: the first and last frames are (nearly) silent.
    ASSERT_GE(wav.samples.size(), 2u * wav.channels);
    for (int c = 0; c < wav.channels; ++c) {
      EXPECT_LE(std::abs(wav.samples[c]), 100);
      EXPECT_LE(std::abs(wav.samples[wav.samples.size() - wav.channels + c]), 100);
    }
    checked++;
  }
  EXPECT_GE(checked, 20);
}

TEST(AudioData, MusicIsAValidSeamlessOggVorbisLoop) {
  const fs::path path = kAudioDir / "Music.ogg";
  const std::string bytes = ReadBytes(path);
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 4), "OggS");

  OggVorbis_File file;
  ASSERT_EQ(ov_fopen(path.c_str(), &file), 0);
  const vorbis_info* info = ov_info(&file, -1);
  ASSERT_NE(info, nullptr);
  const int channels = info->channels;
  const long rate = info->rate;  // info belongs to the file and goes with it
  const double seconds = ov_time_total(&file, -1);
  EXPECT_GE(seconds, 60.0);
  EXPECT_LE(seconds, 120.0);

  std::vector<int16_t> pcm;
  char chunk[16384];
  int section = 0;
  for (long got; (got = ov_read(&file, chunk, sizeof chunk, 0, 2, 1, &section)) != 0;) {
    ASSERT_GT(got, 0) << "decoding failed";
    size_t old = pcm.size();
    pcm.resize(old + static_cast<size_t>(got) / 2);
    std::memcpy(pcm.data() + old, chunk, static_cast<size_t>(got));
  }
  ov_clear(&file);
  ASSERT_EQ(pcm.size() % channels, 0u);
  EXPECT_NEAR(static_cast<double>(pcm.size() / channels) / rate, seconds, 0.01);

  // The loop point: the step from the last frame to the first is no bigger
  // than the steps the music makes anyway.
  int largestStep = 0;
  for (size_t i = channels; i < pcm.size(); ++i) {
    largestStep = std::max(largestStep, std::abs(pcm[i] - pcm[i - channels]));
  }
  for (int c = 0; c < channels; ++c) {
    EXPECT_LE(std::abs(pcm[c] - pcm[pcm.size() - channels + c]), largestStep / 2);
  }
}

TEST(AudioData, RenderingTheRecipesAgainGivesTheSameBytes) {
  const fs::path again = fs::path(TAV_BINARY_DIR) / "tests" / "audio_rendered_again";
  fs::remove_all(again);
  fs::create_directories(again);
  int compared = 0;
  for (const auto& entry : fs::directory_iterator(kSourceDir / "assets" / "audio")) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".sfx" && ext != ".mus") continue;
    const std::string output = entry.path().stem().string() + (ext == ".mus" ? ".ogg" : ".wav");
    SCOPED_TRACE(output);
    const std::string command = std::string("'") + TAV_SFXGEN + "' '" + entry.path().string() + "' '" +
                                (again / output).string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string built = ReadBytes(kAudioDir / output);
    EXPECT_FALSE(built.empty());
    EXPECT_TRUE(built == ReadBytes(again / output)) << "differs from the build's copy";
    compared++;
  }
  EXPECT_GE(compared, 20);
  fs::remove_all(again);
}

}  // namespace
