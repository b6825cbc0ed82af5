// The WAV and Ogg Vorbis decoders: on the game's own sounds from the built data
// (length, channels and a checksum of the samples, each checked against what the
// file itself says), on hand-made WAV variants, and on damaged files, which must be
// refused with a log line. Portable: it also runs as a Windows program under Wine.
#include "audio/sound_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/log.h"
#include "tests/support/temp_game_folder.h"

#ifdef TAV_HAVE_VORBISFILE
#include <vorbis/vorbisfile.h>
#endif

namespace tav {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

fs::path AudioDir() {
  const char* fromEnvironment = std::getenv("TAV_AUDIO_DIR");
  return fromEnvironment != nullptr ? fs::path(fromEnvironment) : fs::path(TAV_AUDIO_DIR);
}

Bytes ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

uint32_t Little32(const Bytes& bytes, size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
         (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// A position-weighted sum, so that swapped, shifted or dropped samples change it.
uint64_t Checksum(const int16_t* samples, size_t count) {
  uint64_t sum = 0;
  for (size_t i = 0; i < count; ++i) {
    sum = sum * 31 + static_cast<uint16_t>(samples[i]);
  }
  return sum;
}

void Put16(Bytes& bytes, unsigned value) {
  bytes.push_back(value & 0xFF);
  bytes.push_back((value >> 8) & 0xFF);
}
void Put32(Bytes& bytes, uint32_t value) {
  Put16(bytes, value & 0xFFFF);
  Put16(bytes, value >> 16);
}
void PutTag(Bytes& bytes, const char* tag) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(tag[i]));
}

// A RIFF WAVE file with a PCM format chunk, optional extra chunk before the samples.
Bytes MakeWav(int channels, int bits, const Bytes& data, uint16_t formatTag = 1,
              const Bytes& extraChunk = {}) {
  Bytes wav;
  PutTag(wav, "RIFF");
  Put32(wav, 0);  // left wrong on purpose: readers must not trust it
  PutTag(wav, "WAVE");
  PutTag(wav, "fmt ");
  Put32(wav, 16);
  Put16(wav, formatTag);
  Put16(wav, channels);
  Put32(wav, 22050);
  Put32(wav, 22050 * channels * bits / 8);
  Put16(wav, channels * bits / 8);
  Put16(wav, bits);
  wav.insert(wav.end(), extraChunk.begin(), extraChunk.end());
  PutTag(wav, "data");
  Put32(wav, static_cast<uint32_t>(data.size()));
  wav.insert(wav.end(), data.begin(), data.end());
  return wav;
}

class SoundDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / "tav_sound_decoder_test";
    fs::create_directories(base_);
    LogStart(base_.string());
  }
  std::string Log() const { return test::ReadLog(); }
  // Decoding must fail, leave the sound empty and log why.
  void ExpectRefused(const Bytes& bytes, const char* name) {
    DecodedSound sound;
    sound.channels = 9;
    EXPECT_FALSE(DecodeSound(bytes.data(), bytes.size(), name, &sound)) << name;
    EXPECT_EQ(sound.channels, 0) << name;
    EXPECT_TRUE(sound.samples.empty()) << name;
    EXPECT_NE(Log().find(std::string("WARNING: Damaged sound file ") + name + ": "),
              std::string::npos)
        << name;
  }
  fs::path base_;
};

TEST_F(SoundDecoderTest, EveryGameEffectDecodesToTheSamplesItsDataChunkHolds) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(AudioDir())) {
    if (entry.path().extension() != ".wav") continue;
    ++files;
    const Bytes bytes = ReadBytes(entry.path());
    // Our effects are written with the plain 44-byte header: mono 16-bit 44100 Hz.
    ASSERT_GE(bytes.size(), 44u);
    ASSERT_EQ(std::memcmp(&bytes[36], "data", 4), 0) << entry.path();
    const size_t dataBytes = Little32(bytes, 40);

    DecodedSound sound;
    ASSERT_TRUE(DecodeSoundFile(entry.path().string(), &sound)) << entry.path();
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.sampleRate, 44100);
    ASSERT_EQ(sound.FrameCount(), dataBytes / 2) << entry.path();
    std::vector<int16_t> raw(dataBytes / 2);
    std::memcpy(raw.data(), &bytes[44], raw.size() * 2);  // both little-endian machines
    EXPECT_EQ(Checksum(sound.samples.data(), sound.samples.size()),
              Checksum(raw.data(), raw.size()))
        << entry.path();
  }
  EXPECT_GE(files, 10);
}

TEST_F(SoundDecoderTest, MusicDecodesToTheLengthAndChannelsItsOggPagesAnnounce) {
  const fs::path path = AudioDir() / "Music.ogg";
  const Bytes bytes = ReadBytes(path);
  ASSERT_GT(bytes.size(), 58u);
  // The Vorbis identification header fills the first page; its channel count sits
  // at byte 39. The last page's granule position is the stream's length in frames.
  const int announcedChannels = bytes[39];
  size_t lastPage = bytes.size() - 4;
  while (lastPage > 0 && std::memcmp(&bytes[lastPage], "OggS", 4) != 0) --lastPage;
  const uint64_t announcedFrames =
      Little32(bytes, lastPage + 6) | (static_cast<uint64_t>(Little32(bytes, lastPage + 10)) << 32);

  DecodedSound sound;
  ASSERT_TRUE(DecodeSoundFile(path.string(), &sound));
  EXPECT_EQ(sound.channels, 2);
  EXPECT_EQ(sound.channels, announcedChannels);
  EXPECT_EQ(sound.FrameCount(), announcedFrames);
  EXPECT_EQ(sound.sampleRate, 44100);

  int peak = 0;
  for (int16_t sample : sound.samples) peak = std::max(peak, std::abs(static_cast<int>(sample)));
  EXPECT_GT(peak, 8000) << "the music decodes to near silence";

#ifdef TAV_HAVE_VORBISFILE
  // The reference decoder gives the same samples, give or take rounding.
  OggVorbis_File reference;
  ASSERT_EQ(ov_fopen(path.string().c_str(), &reference), 0);
  std::vector<int16_t> expected;
  char block[8192];
  int section = 0;
  long got = 0;
  while ((got = ov_read(&reference, block, sizeof block, 0, 2, 1, &section)) > 0) {
    const auto* samples = reinterpret_cast<const int16_t*>(block);
    expected.insert(expected.end(), samples, samples + got / 2);
  }
  ov_clear(&reference);
  ASSERT_EQ(expected.size(), sound.samples.size());
  int largestDifference = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    largestDifference = std::max(largestDifference, std::abs(expected[i] - sound.samples[i]));
  }
  EXPECT_LE(largestDifference, 2);
#endif
}

TEST_F(SoundDecoderTest, WavVariantsDecodeToSignedSixteenBitFrames) {
  // 8-bit samples are unsigned around 128; stereo frames stay interleaved.
  DecodedSound sound;
  const Bytes eightBitStereo = MakeWav(2, 8, {0, 128, 255, 64});
  ASSERT_TRUE(DecodeSound(eightBitStereo.data(), eightBitStereo.size(), "a", &sound));
  EXPECT_EQ(sound.channels, 2);
  EXPECT_EQ(sound.sampleRate, 22050);
  EXPECT_EQ(sound.samples, (std::vector<int16_t>{-32768, 0, 32512, -16384}));

  // An odd-sized chunk before the samples is skipped with its pad byte, and an
  // extensible format whose sub-format is PCM is read as PCM.
  Bytes listChunk;
  PutTag(listChunk, "LIST");
  Put32(listChunk, 3);
  listChunk.insert(listChunk.end(), {'a', 'b', 'c', 0});
  const Bytes sixteenBit = MakeWav(1, 16, {0x01, 0x80, 0xFF, 0x7F, 0x34, 0x12}, 1, listChunk);
  ASSERT_TRUE(DecodeSound(sixteenBit.data(), sixteenBit.size(), "b", &sound));
  EXPECT_EQ(sound.samples, (std::vector<int16_t>{-32767, 32767, 0x1234}));

  Bytes extensible = MakeWav(1, 16, {0x34, 0x12});
  extensible[16] = 40;  // format chunk size
  extensible[20] = 0xFE;
  extensible[21] = 0xFF;
  Bytes extension(24, 0);
  extension[0] = 22;  // extension size
  extension[8] = 1;   // sub-format: PCM
  extensible.insert(extensible.begin() + 36, extension.begin(), extension.end());
  ASSERT_TRUE(DecodeSound(extensible.data(), extensible.size(), "c", &sound));
  EXPECT_EQ(sound.samples, (std::vector<int16_t>{0x1234}));
}

TEST_F(SoundDecoderTest, DamagedFilesAreRefusedWithALogLine) {
  const Bytes good = MakeWav(1, 16, {1, 2, 3, 4});
  ExpectRefused(Bytes(good.begin(), good.begin() + 30), "cut-in-format");
  ExpectRefused(Bytes(good.begin(), good.end() - 1), "cut-in-samples");

  Bytes hugeChunk = good;
  hugeChunk[40] = hugeChunk[41] = hugeChunk[42] = hugeChunk[43] = 0xFF;
  ExpectRefused(hugeChunk, "huge-chunk");
  ExpectRefused(MakeWav(1, 24, {1, 2, 3}), "24-bit");
  ExpectRefused(MakeWav(0, 16, {1, 2}), "no-channels");
  ExpectRefused(MakeWav(6, 16, Bytes(12, 0)), "six-channels");
  ExpectRefused(MakeWav(1, 16, {1, 2}, 3), "float-samples");
  ExpectRefused(MakeWav(1, 16, {}), "empty");
  Bytes noFormat = good;
  std::memcpy(&noFormat[12], "junk", 4);
  ExpectRefused(noFormat, "no-format");

  const Bytes music = ReadBytes(AudioDir() / "Music.ogg");
  ASSERT_GT(music.size(), 4000u);
  ExpectRefused(Bytes(music.begin(), music.begin() + 200), "music-cut-in-headers");
  Bytes scrambled = music;
  for (size_t i = 30; i < scrambled.size(); i += 7) scrambled[i] ^= 0x5A;
  ExpectRefused(scrambled, "music-scrambled");
  // A comment header claiming 2^29 comments: the count overflows the decoder's
  // allocation size, and it would write past the small block it got.
  Bytes lyingComments = music;
  const size_t commentPacket = 58 + 27 + lyingComments[58 + 26] + 7;
  const size_t countAt = commentPacket + 4 + Little32(lyingComments, commentPacket);
  ASSERT_LT(countAt + 4, lyingComments.size());
  lyingComments[countAt] = 1;
  lyingComments[countAt + 3] = 0x20;
  ExpectRefused(lyingComments, "music-lying-comments");
  ExpectRefused(Bytes{'I', 'D', '3', 4, 0, 0}, "not-a-sound");
  ExpectRefused(Bytes{}, "nothing");

  DecodedSound sound;
  EXPECT_FALSE(DecodeSoundFile((base_ / "missing.wav").string(), &sound));
  EXPECT_NE(Log().find("WARNING: Cannot read sound file "), std::string::npos);
}

}  // namespace
}  // namespace tav
