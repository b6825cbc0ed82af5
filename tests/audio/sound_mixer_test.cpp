// The software mixer behind the waveOut output: voices mix into stereo frames with
// their volumes, end or loop at their last frame, keep their place when stopped,
// and clip instead of wrapping around when loud voices add up.
#include "audio/sound_mixer.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

std::shared_ptr<const DecodedSound> MakeSound(int channels, std::vector<int16_t> samples) {
  auto sound = std::make_shared<DecodedSound>();
  sound->channels = channels;
  sound->sampleRate = 44100;
  sound->samples = std::move(samples);
  return sound;
}

std::vector<int16_t> MixFrames(SoundMixer& mixer, size_t frames) {
  std::vector<int16_t> output(frames * 2, 12345);
  mixer.Mix(output.data(), frames);
  return output;
}

TEST(SoundMixerTest, VoicesMixWithTheirVolumesAndEndOrLoopAtTheirLastFrame) {
  SoundMixer mixer(44100);
  const int mono = mixer.AddVoice(MakeSound(1, {1000, 2000, 3000}));
  const int stereo = mixer.AddVoice(MakeSound(2, {100, -100, 200, -200}));
  EXPECT_EQ(MixFrames(mixer, 2), (std::vector<int16_t>{0, 0, 0, 0})) << "stopped voices are silent";

  mixer.PlayFromStart(mono, false);
  mixer.PlayFromStart(stereo, true);
  mixer.SetVolume(mono, 0.5f);
  // Mono spreads to both sides; the stereo voice loops after its two frames; the
  // mono one ends after three and falls silent.
  EXPECT_EQ(MixFrames(mixer, 4),
            (std::vector<int16_t>{600, 400, 1200, 800, 1600, 1400, 200, -200}));
  EXPECT_FALSE(mixer.IsPlaying(mono));
  EXPECT_TRUE(mixer.IsPlaying(stereo));

  // Stopping keeps the place: the looping voice continues with its first frame.
  mixer.Stop(stereo);
  EXPECT_EQ(MixFrames(mixer, 1), (std::vector<int16_t>{0, 0}));
  mixer.Resume(stereo);
  // A voice that ran to its end starts over when resumed.
  mixer.Resume(mono);
  mixer.SetVolume(mono, 1.0f);
  EXPECT_EQ(MixFrames(mixer, 2), (std::vector<int16_t>{1100, 900, 2200, 1800}));

  // A removed voice is never mixed again, and its number stays dead.
  mixer.RemoveVoice(stereo);
  mixer.PlayFromStart(stereo, true);
  EXPECT_FALSE(mixer.IsPlaying(stereo));
  EXPECT_EQ(MixFrames(mixer, 1), (std::vector<int16_t>{3000, 3000}));
}

TEST(SoundMixerTest, LoudVoicesClipInsteadOfWrappingAround) {
  SoundMixer mixer(44100);
  const int first = mixer.AddVoice(MakeSound(1, {30000, -30000}));
  const int second = mixer.AddVoice(MakeSound(1, {30000, -30000}));
  mixer.PlayFromStart(first, false);
  mixer.PlayFromStart(second, false);
  EXPECT_EQ(MixFrames(mixer, 2), (std::vector<int16_t>{32767, 32767, -32768, -32768}));
}

}  // namespace
}  // namespace tav
