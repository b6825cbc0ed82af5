// The synthesiser: renders layers (an oscillator or noise source shaped by a
// pitch glide, an envelope, an optional filter and drive) into sample buffers,
// and the finishing steps every sound shares (reverb, echo, DC removal, fades,
// peak normalisation). Knows nothing of recipe text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tav::sfx {

constexpr int kSampleRate = 44100;

enum class Wave { Sine, Triangle, Square, Saw, Noise, Crackle };
enum class FilterKind { None, LowPass, HighPass, BandPass };

// One voice of a sound. All times are in seconds from the layer's start.
struct Layer {
  Wave wave = Wave::Sine;
  double start = 0;           // when the layer begins within the sound
  double length = 0.2;        // attack + hold + decay; the envelope is 0 at the end
  double attack = 0.002;      // linear rise from 0 to 1
  double hold = 0;            // stays at 1
  double curve = 4;           // decay shape: 0 straight line, larger falls faster
  double gain = 1;
  double freqStart = 440;     // Hz; glides exponentially to freqEnd
  double freqEnd = 440;
  double glide = -1;          // glide time; negative: the whole layer
  double pulseWidth = 0.5;    // square wave duty cycle
  double detuneCents = 0;     // adds a second oscillator this far above (and pans it apart)
  double vibratoRate = 0;     // Hz
  double vibratoDepth = 0;    // semitones
  double tremoloRate = 0;     // Hz
  double tremoloDepth = 0;    // 0..1
  double fmRatio = 0;         // modulator frequency / carrier frequency; 0 = no FM
  double fmIndexStart = 0;    // phase modulation index, gliding linearly (capped on high notes)
  double fmIndexEnd = 0;
  FilterKind filter = FilterKind::None;
  double cutoffStart = 1000;  // Hz; glides exponentially to cutoffEnd over the layer
  double cutoffEnd = 1000;
  double resonance = 0.707;   // filter Q
  double drive = 0;           // tanh saturation amount; 0 = clean
  double crackleDensity = 300;  // impulses per second for Wave::Crackle
  uint32_t seed = 1;          // noise and crackle generator seed
  double pan = 0;             // -1 left .. 1 right (stereo rendering only)
};

// The stereo or mono sample buffer a sound is mixed into.
struct Buffer {
  int channels = 1;
  std::vector<float> samples;  // interleaved

  size_t Frames() const { return samples.size() / static_cast<size_t>(channels); }
  void Resize(size_t frames) { samples.assign(frames * static_cast<size_t>(channels), 0.0f); }
};

// Envelope value of a layer `t` seconds after its start (0 outside the layer).
double EnvelopeAt(const Layer& layer, double t);

// Adds the layer into the buffer from its start time; frames beyond the buffer
// end are dropped. Mono buffers ignore pan and sum a detuned pair in the middle.
void RenderLayer(const Layer& layer, Buffer& out);

// A Schroeder-Moorer room: parallel damped combs into series allpasses, with
// slightly different delay lengths per channel for width.
struct ReverbSettings {
  double mix = 0;     // wet level added to the dry signal
  double room = 0.7;  // comb feedback 0..0.98: the decay length
  double damp = 0.4;  // high-frequency loss in the tail 0..1
};
void ApplyReverb(const ReverbSettings& settings, Buffer& buffer);

// A feedback echo.
struct EchoSettings {
  double delay = 0;  // seconds; 0 = off
  double feedback = 0.3;
  double mix = 0.3;
};
void ApplyEcho(const EchoSettings& settings, Buffer& buffer);

// Removes DC and sub-audio rumble (a gentle first-order high-pass at `hz`).
void RemoveDc(Buffer& buffer, double hz);

// Raised-cosine fades over the first and last frames, so the sound starts and
// ends at silence.
void ApplyFades(Buffer& buffer, double fadeInSeconds, double fadeOutSeconds);

// Scales the buffer so its largest absolute sample is `peakDb` dBFS. A silent
// buffer stays silent. Returns the gain used.
double NormalizePeak(Buffer& buffer, double peakDb);

// Soft saturation of the whole buffer after scaling its peak to full scale:
// tanh(drive * x) / tanh(drive). Raises the body of spiky sounds (crackle,
// explosions) against their peaks. drive <= 0 leaves the buffer alone.
void Saturate(Buffer& buffer, double drive);

// Peak of the buffer in dBFS (-inf for silence).
double PeakDb(const Buffer& buffer);

// Adds the frames past `loopFrames` onto the start (wrapping as often as
// needed) and cuts the buffer to `loopFrames`, so a loop's tail rings into its
// own beginning and the loop repeats without a seam.
void WrapTail(Buffer& buffer, size_t loopFrames);

}  // namespace tav::sfx
