// Tests of the sound synthesiser: recipe reading and its failures, the
// envelope, finishing (fades, peak), the loop wrap, the music arrangement and
// the file encoders.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>
#include <string>

#include "tools/sfxgen/audio_files.h"
#include "tools/sfxgen/music.h"
#include "tools/sfxgen/sound_recipe.h"

namespace tav::sfx {
namespace {

const char* kChimeRecipe = R"(# a two-note chime
reverb 0.3 0.7 0.4
tail 0.2
layer
  wave sine
  freq C6
  fm 2 2.5 0
  length 0.4
  attack 0.002
  curve 5
  notes C6 G6
  step 0.08
layer            # noise on top
  wave noise
  bandpass 3000 1000
  length 0.1
)";

TEST(RecipeText, ReadsNoteNamesAndSkipsComments) {
  int key = 0;
  ASSERT_TRUE(ReadNoteName("A4", key));
  EXPECT_EQ(key, 69);
  ASSERT_TRUE(ReadNoteName("C#5", key));
  EXPECT_EQ(key, 73);
  ASSERT_TRUE(ReadNoteName("Bb3", key));
  EXPECT_EQ(key, 58);
  EXPECT_FALSE(ReadNoteName("H4", key));
  EXPECT_FALSE(ReadNoteName("C", key));
  EXPECT_FALSE(ReadNoteName("C45", key));
  EXPECT_NEAR(KeyFrequency(69), 440.0, 1e-9);

  auto lines = SplitRecipe("# only a comment\n\n  freq C#5 440 # trailing\r\nlayer");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].number, 3);
  ASSERT_EQ(lines[0].words.size(), 3u);
  EXPECT_EQ(lines[0].words[1], "C#5");
  EXPECT_EQ(lines[1].Key(), "layer");
}

TEST(SoundRecipe, ParsesLayersAndExpandsNotes) {
  SoundRecipe recipe = ParseSoundRecipe(kChimeRecipe);
  ASSERT_EQ(recipe.layers.size(), 3u);
  EXPECT_NEAR(recipe.layers[0].freqStart, KeyFrequency(84), 1e-6);
  EXPECT_NEAR(recipe.layers[1].freqStart, KeyFrequency(91), 1e-6);
  EXPECT_NEAR(recipe.layers[1].start, 0.08, 1e-12);
  EXPECT_EQ(recipe.layers[2].filter, FilterKind::BandPass);
  EXPECT_NEAR(recipe.Length(), 0.08 + 0.4 + 0.2, 1e-9);
}

TEST(SoundRecipe, RepeatTransposesAndScalesCopies) {
  SoundRecipe recipe = ParseSoundRecipe(
      "layer\n freq 1000\n repeat 3\n step 0.1\n transpose 12\n copygain 0.5\n");
  ASSERT_EQ(recipe.layers.size(), 3u);
  EXPECT_NEAR(recipe.layers[2].freqStart, 4000, 1e-6);
  EXPECT_NEAR(recipe.layers[2].start, 0.2, 1e-12);
  EXPECT_NEAR(recipe.layers[2].gain, 0.25, 1e-12);
}

TEST(SoundRecipe, RejectsMistakesWithTheirLine) {
  const char* bad[] = {
      "",                                         // no layer
      "layer\n  wave bell\n",                     // unknown wave
      "layer\n  freq\n",                          // missing value
      "layer\n  length abc\n",                    // not a number
      "layer\n  length 1e999\n",                  // not finite
      "layer\n  gain -1\n",                       // out of range
      "wave sine\nlayer\n",                       // voice key before any layer
      "layer\n  bogus 1\n",                       // unknown key
      "layer\n  length 20\n  repeat 3\n  step 6\n",  // longer than 30 s
      "layer\n  freq 8000\n  repeat 3\n  transpose 24\n",  // above 20 kHz
  };
  for (const char* text : bad) {
    EXPECT_THROW(ParseSoundRecipe(text), RecipeError) << text;
  }
  try {
    ParseSoundRecipe("layer\n\n  attack x\n");
    FAIL();
  } catch (const RecipeError& error) {
    EXPECT_NE(std::string(error.what()).find("line 3"), std::string::npos) << error.what();
  }
  EXPECT_THROW(ParseSoundRecipe(std::string("layer\n\0", 7)), RecipeError);
}

TEST(SoundRecipe, EveryTruncationParsesOrFailsCleanly) {
  const std::string text = kChimeRecipe;
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    try {
      SoundRecipe recipe = ParseSoundRecipe(text.substr(0, cut));
      EXPECT_FALSE(recipe.layers.empty());
    } catch (const RecipeError&) {
    }
  }
}

TEST(Envelope, RisesHoldsAndFallsToSilence) {
  Layer layer;
  layer.attack = 0.1;
  layer.hold = 0.1;
  layer.length = 1.0;
  layer.curve = 4;
  EXPECT_DOUBLE_EQ(EnvelopeAt(layer, 0), 0);
  EXPECT_NEAR(EnvelopeAt(layer, 0.05), 0.5, 1e-12);
  EXPECT_DOUBLE_EQ(EnvelopeAt(layer, 0.15), 1);
  EXPECT_NEAR(EnvelopeAt(layer, 1.0 - 1e-9), 0, 1e-6);
  EXPECT_DOUBLE_EQ(EnvelopeAt(layer, 1.0), 0);
  double previous = 1;
  for (double t = 0.2; t < 1.0; t += 0.01) {
    double value = EnvelopeAt(layer, t);
    EXPECT_LE(value, previous);
    previous = value;
  }
  layer.curve = 0;  // straight line
  EXPECT_NEAR(EnvelopeAt(layer, 0.6), 0.5, 1e-12);
}

TEST(RenderSound, PeaksAtTheRecipePeakAndStartsAndEndsSilent) {
  SoundRecipe recipe = ParseSoundRecipe(kChimeRecipe);
  Buffer sound = RenderSound(recipe);
  ASSERT_EQ(sound.channels, 1);
  EXPECT_EQ(sound.Frames(), static_cast<size_t>(std::lround(recipe.Length() * kSampleRate)));
  EXPECT_NEAR(PeakDb(sound), -1.0, 1e-4);
  EXPECT_EQ(sound.samples.front(), 0.0f);
  EXPECT_EQ(sound.samples.back(), 0.0f);
  double sum = 0;
  for (float s : sound.samples) sum += s;
  EXPECT_LT(std::fabs(sum / sound.samples.size()), 1e-3);  // no DC offset
  Buffer again = RenderSound(recipe);
  EXPECT_EQ(again.samples, sound.samples);
}

// Power of one frequency in the buffer (Hann-windowed Goertzel).
double ToneLevel(const Buffer& buffer, double frequency) {
  const double pi = 3.14159265358979323846;
  const size_t n = buffer.samples.size();
  double coefficient = 2.0 * std::cos(2.0 * pi * frequency / kSampleRate);
  double s1 = 0, s2 = 0;
  for (size_t i = 0; i < n; ++i) {
    double window = 0.5 - 0.5 * std::cos(2.0 * pi * static_cast<double>(i) / static_cast<double>(n));
    double s0 = buffer.samples[i] * window + coefficient * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return s1 * s1 + s2 * s2 - coefficient * s1 * s2;
}

// Half a second of a steady tone, optionally frequency-modulated.
Buffer SteadyTone(Wave wave, double frequency, double fmRatio = 0, double fmIndex = 0) {
  Layer layer;
  layer.wave = wave;
  layer.freqStart = layer.freqEnd = frequency;
  layer.fmRatio = fmRatio;
  layer.fmIndexStart = layer.fmIndexEnd = fmIndex;
  layer.attack = 0.001;
  layer.hold = 0.45;
  layer.length = 0.5;
  Buffer buffer;
  buffer.Resize(static_cast<size_t>(0.5 * kSampleRate));
  RenderLayer(layer, buffer);
  return buffer;
}

// Level of `frequency` against `reference` in the buffer, in dB.
double RelativeDb(const Buffer& buffer, double frequency, double reference) {
  return 10 * std::log10(ToneLevel(buffer, frequency) / ToneLevel(buffer, reference));
}

TEST(RenderLayer, BrightWavesStayBandLimited) {
  // A 5 kHz saw with naive edges folds its 9th harmonic (45 kHz) down to
  // 900 Hz and its 8th (40 kHz) to 4100 Hz, at 1/9 and 1/8 of the
  // fundamental. The band-limited edges must keep them far lower.
  for (Wave wave : {Wave::Saw, Wave::Square}) {
    Buffer buffer = SteadyTone(wave, 5000);
    EXPECT_LT(RelativeDb(buffer, 900, 5000), -35.0);
    EXPECT_LT(RelativeDb(buffer, 4100, 5000), -30.0);
  }
  // A 5 kHz triangle folds its 7th harmonic (35 kHz) to 9100 Hz at 1/49,
  // while its 3rd (15 kHz, at 1/9) is kept.
  Buffer triangle = SteadyTone(Wave::Triangle, 5000);
  EXPECT_LT(RelativeDb(triangle, 9100, 5000), -60.0);
  EXPECT_NEAR(RelativeDb(triangle, 15000, 5000), -19.1, 0.5);
}

TEST(RenderLayer, FrequencyModulationKeepsItsSidebandsBelowNyquist) {
  // A 6 kHz carrier with a 21 kHz modulator would put its first upper
  // sideband at 27 kHz, folding back to 17.1 kHz.
  EXPECT_LT(RelativeDb(SteadyTone(Wave::Sine, 6000, 3.5, 1.0), 17100, 6000), -60.0);
  // A low note keeps its full modulation: the first sideband is clearly there.
  EXPECT_GT(RelativeDb(SteadyTone(Wave::Sine, 500, 2, 1.0), 1500, 500), -12.0);
}

TEST(WrapTail, FoldsTheTailOntoTheStart) {
  Buffer buffer;
  buffer.channels = 2;
  buffer.Resize(25);
  buffer.samples[2 * 12] = 0.5f;      // frame 12, left
  buffer.samples[2 * 23 + 1] = 0.25f;  // frame 23, right: wraps twice
  buffer.samples[2 * 2] = 0.125f;
  WrapTail(buffer, 10);
  ASSERT_EQ(buffer.Frames(), 10u);
  EXPECT_FLOAT_EQ(buffer.samples[2 * 2], 0.625f);
  EXPECT_FLOAT_EQ(buffer.samples[2 * 3 + 1], 0.25f);
}

const char* kTinySong = R"(tempo 120
meter 4
tail 2
reverb 0.3 0.8 0.5
chords C Am7 F/A G7
phrase tune E5:1 r:1 G5:1.5:0.5 C6:0.5
instrument pad
  wave saw
  lowpass 900
  attack 0.3
  release 1.5
  gain 0.2
end
instrument pluck
  wave triangle
  length 0.8
end
part pads
  instrument pad
  voicing G3
end
part bass
  instrument pluck
  octave 2
  pattern B _ . 5
end
part lead
  instrument pluck
  melody tune tune
  bars 3 4
end
)";

TEST(Music, ReadsChords) {
  Chord chord;
  ASSERT_TRUE(ReadChord("F/A", chord));
  EXPECT_EQ(chord.root, 5);
  EXPECT_EQ(chord.bass, 9);
  ASSERT_TRUE(ReadChord("Bbm7", chord));
  EXPECT_EQ(chord.root, 10);
  EXPECT_EQ(chord.Tones(), (std::vector<int>{10, 1, 5, 8}));
  EXPECT_EQ(chord.DegreeInterval(9), 14);  // no ninth: a whole step above the octave
  ASSERT_TRUE(ReadChord("Dm9", chord));
  EXPECT_EQ(chord.DegreeInterval(9), 14);
  EXPECT_EQ(chord.DegreeInterval(10), 15);
  EXPECT_FALSE(ReadChord("H7", chord));
  EXPECT_FALSE(ReadChord("Cmaj13", chord));
  EXPECT_FALSE(ReadChord("C/", chord));
}

TEST(Music, PartsPlayVoicingsPatternsAndMelodies) {
  MusicRecipe recipe = ParseMusicRecipe(kTinySong);
  ASSERT_EQ(recipe.chords.size(), 4u);
  EXPECT_DOUBLE_EQ(recipe.LoopSeconds(), 8.0);
  ASSERT_EQ(recipe.parts.size(), 3u);

  auto pads = PartNotes(recipe, recipe.parts[0]);
  ASSERT_EQ(pads.size(), 3u + 4u + 3u + 4u);
  for (const NoteEvent& note : pads) {
    EXPECT_GE(note.key, 55);  // G3
    EXPECT_LT(note.key, 67);
    EXPECT_DOUBLE_EQ(note.beats, 4);
  }

  // "B _ . 5": the bass note held two steps, a rest, the fifth.
  auto bass = PartNotes(recipe, recipe.parts[1]);
  ASSERT_EQ(bass.size(), 8u);
  EXPECT_EQ(bass[0].key, 36);  // C2
  EXPECT_DOUBLE_EQ(bass[0].beats, 2);
  EXPECT_EQ(bass[1].key, 43);  // G2
  EXPECT_DOUBLE_EQ(bass[1].beat, 3);
  EXPECT_EQ(bass[2].key, 45);  // Am7: A2
  EXPECT_EQ(bass[3].key, 52);  // and its fifth, E3
  EXPECT_EQ(bass[4].key, 45);  // F/A: A2 in the bass
  EXPECT_EQ(bass[5].key, 48);  // the fifth of F above the F2 root: C3

  // The melody starts at bar 3 and plays its phrase twice, rests included.
  auto lead = PartNotes(recipe, recipe.parts[2]);
  ASSERT_EQ(lead.size(), 6u);
  EXPECT_DOUBLE_EQ(lead[0].beat, 8);
  EXPECT_DOUBLE_EQ(lead[1].beat, 10);
  EXPECT_DOUBLE_EQ(lead[1].velocity, 0.5);
  EXPECT_DOUBLE_EQ(lead[3].beat, 12);
}

TEST(Music, RejectsBrokenSongs) {
  const char* bad[] = {
      "tempo 120\n",                                               // no chords
      "chords C Xm\n",                                             // bad chord
      "chords C\ninstrument a\n wave sine\n",                      // no end
      "chords C\npart p\n instrument none\n voicing C3\nend\n",    // unknown instrument
      "chords C\ninstrument a\nend\npart p\n instrument a\nend\n",  // part plays nothing
      "chords C\ninstrument a\nend\npart p\n instrument a\n melody x\nend\n",  // unknown phrase
      "chords C\ninstrument a\nend\npart p\n instrument a\n voicing C3\n bars 2 3\nend\n",  // after the end
      "chords C\nphrase x E5:5\ninstrument a\nend\npart p\n instrument a\n melody x\nend\n",  // too long
      "chords C\nphrase x E5\n",                                   // no length
      "chords C\nphrase x Q5:1\n",                                 // bad note
      "chords C\ninstrument a\nend\npart p\n pattern 1 2\nend\n",  // bad step
      "tempo 20\nmeter 16\nchords C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C C\n",  // too long
  };
  for (const char* text : bad) {
    EXPECT_THROW(ParseMusicRecipe(text), RecipeError) << text;
  }
}

TEST(Music, LoopHasExactLengthAndNoSeam) {
  MusicRecipe recipe = ParseMusicRecipe(kTinySong);
  Buffer music = RenderMusic(recipe);
  ASSERT_EQ(music.channels, 2);
  ASSERT_EQ(music.Frames(), static_cast<size_t>(8 * kSampleRate));
  EXPECT_NEAR(PeakDb(music), -3.0, 1e-4);
  // Going from the last frame back to the first is no bigger a step than the
  // largest step inside the loop.
  double largest = 0;
  for (size_t i = 2; i < music.samples.size(); ++i) {
    largest = std::max(largest, static_cast<double>(std::fabs(music.samples[i] - music.samples[i - 2])));
  }
  for (int c = 0; c < 2; ++c) {
    double seam = std::fabs(music.samples[c] - music.samples[music.samples.size() - 2 + c]);
    EXPECT_LT(seam, 0.25 * largest);
  }
}

TEST(AudioFiles, WavHeaderDescribesTheSamples) {
  Buffer buffer;
  buffer.Resize(3);
  buffer.samples = {0.5f, -1.5f, 1.0f};
  std::vector<int16_t> pcm = ToPcm16(buffer);
  EXPECT_EQ(pcm, (std::vector<int16_t>{16384, -32767, 32767}));
  std::string wav = EncodeWav(buffer);
  ASSERT_EQ(wav.size(), 44u + 6u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(wav.substr(36, 4), "data");
  uint32_t riffSize, rate, dataSize;
  uint16_t format, channels, bits;
  std::memcpy(&riffSize, wav.data() + 4, 4);
  std::memcpy(&format, wav.data() + 20, 2);
  std::memcpy(&channels, wav.data() + 22, 2);
  std::memcpy(&rate, wav.data() + 24, 4);
  std::memcpy(&bits, wav.data() + 34, 2);
  std::memcpy(&dataSize, wav.data() + 40, 4);
  EXPECT_EQ(riffSize, wav.size() - 8);
  EXPECT_EQ(format, 1);
  EXPECT_EQ(channels, 1);
  EXPECT_EQ(rate, 44100u);
  EXPECT_EQ(bits, 16);
  EXPECT_EQ(dataSize, 6u);
}

// Reads an Ogg Vorbis file held in memory through libvorbisfile.
struct MemoryReader {
  const std::string* bytes;
  size_t pos = 0;
  static size_t Read(void* out, size_t size, size_t count, void* self) {
    auto* reader = static_cast<MemoryReader*>(self);
    size_t wanted = size * count;
    size_t left = reader->bytes->size() - reader->pos;
    size_t n = std::min(wanted, left);
    std::memcpy(out, reader->bytes->data() + reader->pos, n);
    reader->pos += n;
    return size ? n / size : 0;
  }
};

TEST(AudioFiles, OggIsRepeatableAndDecodesToTheSameLength) {
  Buffer buffer;
  buffer.channels = 2;
  buffer.Resize(kSampleRate);
  for (size_t i = 0; i < buffer.Frames(); ++i) {
    buffer.samples[2 * i] = static_cast<float>(0.5 * std::sin(i * 0.05));
    buffer.samples[2 * i + 1] = static_cast<float>(0.5 * std::sin(i * 0.07));
  }
  std::string first = EncodeOggVorbis(buffer, 0.5f);
  std::string second = EncodeOggVorbis(buffer, 0.5f);
  EXPECT_EQ(first, second);
  ASSERT_GT(first.size(), 28u);
  EXPECT_EQ(first.substr(0, 4), "OggS");
  int32_t serial;
  std::memcpy(&serial, first.data() + 14, 4);
  EXPECT_EQ(serial, kOggSerial);

  MemoryReader reader{&first};
  ov_callbacks callbacks = {&MemoryReader::Read, nullptr, nullptr, nullptr};
  OggVorbis_File file;
  ASSERT_EQ(ov_open_callbacks(&reader, &file, nullptr, 0, callbacks), 0);
  long frames = 0;
  char pcm[8192];
  int section = 0;
  for (long got; (got = ov_read(&file, pcm, sizeof pcm, 0, 2, 1, &section)) > 0;) frames += got / 4;
  EXPECT_EQ(ov_info(&file, -1)->channels, 2);
  ov_clear(&file);
  EXPECT_EQ(frames, static_cast<long>(buffer.Frames()));
}

}  // namespace
}  // namespace tav::sfx
