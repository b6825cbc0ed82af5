// The synthesiser's signal generators and finishing steps.
#include "tools/sfxgen/synth.h"

#include <algorithm>
#include <cmath>

namespace tav::sfx {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Deterministic white-noise source: the same seed gives the same sound on
// every build and every machine.
class NoiseSource {
 public:
  explicit NoiseSource(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {
    if (state_ == 0) state_ = 1;
  }
  // Uniform in [0, 1).
  double Next01() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 4294967296.0;
  }
  double NextSigned() { return Next01() * 2.0 - 1.0; }

 private:
  uint32_t state_;
};

// Softens the step of a saw or square edge that falls between two samples, so
// the bright waves do not fold their harmonics back down as aliasing.
double PolyBlep(double phase, double step) {
  if (phase < step) {
    double t = phase / step;
    return t + t - t * t - 1.0;
  }
  if (phase > 1.0 - step) {
    double t = (phase - 1.0) / step;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

// A triangle starting at 0 and rising. Its odd harmonics fall off as 1/k^2,
// so low notes are drawn directly; high notes, whose harmonics would fold back
// audibly, are summed from the harmonics below Nyquist.
double Triangle(double phase, double step) {
  const int harmonics = static_cast<int>(0.5 / step);
  if (harmonics > 32) {
    return phase < 0.25 ? 4.0 * phase : (phase < 0.75 ? 2.0 - 4.0 * phase : 4.0 * phase - 4.0);
  }
  double sum = 0;
  for (int k = 1; k <= harmonics; k += 2) {
    double sign = (k / 2) % 2 == 0 ? 1.0 : -1.0;
    sum += sign * std::sin(2.0 * kPi * k * phase) / (k * k);
  }
  return sum * 8.0 / (kPi * kPi);
}

// A band-limited oscillator (for the tonal waves) with its own phase.
class Oscillator {
 public:
  double Next(Wave wave, double frequency, double phaseOffset, double pulseWidth) {
    double step = std::clamp(frequency / kSampleRate, 0.0, 0.49);
    double p = phase_ + phaseOffset;
    p -= std::floor(p);
    double value = 0;
    switch (wave) {
      case Wave::Sine:
        value = std::sin(2.0 * kPi * p);
        break;
      case Wave::Triangle:
        value = Triangle(p, step);
        break;
      case Wave::Saw:
        value = 2.0 * p - 1.0 - PolyBlep(p, step);
        break;
      case Wave::Square: {
        double shifted = p + 1.0 - pulseWidth;
        shifted -= std::floor(shifted);
        value = (p < pulseWidth ? 1.0 : -1.0) + PolyBlep(p, step) - PolyBlep(shifted, step);
        break;
      }
      case Wave::Noise:
      case Wave::Crackle:
        break;
    }
    phase_ += step;
    phase_ -= std::floor(phase_);
    return value;
  }

 private:
  double phase_ = 0;
};

// Topology-preserving state-variable filter: stable while its cutoff moves.
class StateVariableFilter {
 public:
  void Tune(double cutoff, double q) {
    cutoff = std::clamp(cutoff, 10.0, 0.45 * kSampleRate);
    g_ = std::tan(kPi * cutoff / kSampleRate);
    k_ = 1.0 / std::max(q, 0.1);
    a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
    a2_ = g_ * a1_;
    a3_ = g_ * a2_;
  }
  double Process(FilterKind kind, double x) {
    double v3 = x - ic2_;
    double v1 = a1_ * ic1_ + a2_ * v3;
    double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    switch (kind) {
      case FilterKind::LowPass:
        return v2;
      case FilterKind::HighPass:
        return x - k_ * v1 - v2;
      case FilterKind::BandPass:
        return k_ * v1;  // unity gain at the centre
      case FilterKind::None:
        break;
    }
    return x;
  }

 private:
  double g_ = 0, k_ = 1, a1_ = 0, a2_ = 0, a3_ = 0;
  double ic1_ = 0, ic2_ = 0;
};

// One source of a layer: an oscillator or noise generator and its filter.
struct Source {
  Oscillator oscillator;
  Oscillator modulator;
  StateVariableFilter filter;
  NoiseSource noise;
  explicit Source(uint32_t seed) : noise(seed) {}

  double Next(const Layer& layer, double frequency, double fmIndex) {
    double raw = 0;
    if (layer.wave == Wave::Noise) {
      raw = noise.NextSigned();
    } else if (layer.wave == Wave::Crackle) {
      // Sparse impulses of random size and sign; the filter gives them their colour.
      if (noise.Next01() < layer.crackleDensity / kSampleRate) {
        raw = (0.3 + 0.7 * noise.Next01()) * (noise.Next01() < 0.5 ? -1.0 : 1.0);
      }
    } else {
      double offset = 0;
      if (layer.fmRatio > 0) {
        // Sidebands reach about (index + 1) modulator frequencies above the
        // carrier; cap the index so they stay below Nyquist instead of folding
        // back as inharmonic aliases on high notes.
        const double modulatorFrequency = frequency * layer.fmRatio;
        const double highestIndex = (0.45 * kSampleRate - frequency) / modulatorFrequency - 1.0;
        const double index = std::min(fmIndex, std::max(highestIndex, 0.0));
        offset = index * modulator.Next(Wave::Sine, modulatorFrequency, 0, 0.5) / (2.0 * kPi);
      }
      raw = oscillator.Next(layer.wave, frequency, offset, layer.pulseWidth);
    }
    if (layer.filter == FilterKind::None) return raw;
    return filter.Process(layer.filter, raw);
  }
};

double Lerp(double a, double b, double x) { return a + (b - a) * x; }
double ExpGlide(double a, double b, double x) { return a * std::pow(b / a, x); }

}  // namespace

double EnvelopeAt(const Layer& layer, double t) {
  if (t < 0 || t >= layer.length) return 0;
  if (layer.attack > 0 && t < layer.attack) return t / layer.attack;
  double decayStart = layer.attack + layer.hold;
  if (t < decayStart) return 1;
  double decayLength = layer.length - decayStart;
  if (decayLength <= 0) return 0;
  double x = (t - decayStart) / decayLength;
  if (layer.curve < 1e-6) return 1.0 - x;
  double floor = std::exp(-layer.curve);
  return (std::exp(-layer.curve * x) - floor) / (1.0 - floor);
}

void RenderLayer(const Layer& layer, Buffer& out) {
  const size_t totalFrames = out.Frames();
  const long startFrame = std::lround(layer.start * kSampleRate);
  const long frames = std::lround(layer.length * kSampleRate);
  if (startFrame < 0 || frames <= 0) return;
  const bool pair = layer.detuneCents != 0;
  const double detuneRatio = std::pow(2.0, layer.detuneCents / 1200.0);
  const double glideTime = layer.glide > 0 ? layer.glide : layer.length;
  const double freqStart = std::max(layer.freqStart, 1.0);
  const double freqEnd = std::max(layer.freqEnd, 1.0);
  const double cutoffStart = std::max(layer.cutoffStart, 1.0);
  const double cutoffEnd = std::max(layer.cutoffEnd, 1.0);
  const double driveNorm = layer.drive > 0 ? 1.0 / std::tanh(layer.drive) : 1.0;

  Source first(layer.seed);
  Source second(layer.seed + 7919u);

  // Equal-power pan for each source; the detuned pair spreads around `pan`.
  auto panGains = [](double pan, double& left, double& right) {
    double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
    left = std::cos(angle);
    right = std::sin(angle);
  };
  double firstLeft, firstRight, secondLeft, secondRight;
  panGains(pair ? layer.pan - 0.35 : layer.pan, firstLeft, firstRight);
  panGains(layer.pan + 0.35, secondLeft, secondRight);

  for (long i = 0; i < frames; ++i) {
    size_t frame = static_cast<size_t>(startFrame + i);
    if (frame >= totalFrames) break;
    double t = static_cast<double>(i) / kSampleRate;
    double progress = t / layer.length;
    if (i % 8 == 0 && layer.filter != FilterKind::None) {
      double cutoff = ExpGlide(cutoffStart, cutoffEnd, progress);
      first.filter.Tune(cutoff, layer.resonance);
      second.filter.Tune(cutoff, layer.resonance);
    }
    double frequency = ExpGlide(freqStart, freqEnd, std::min(t / glideTime, 1.0));
    if (layer.vibratoDepth != 0) {
      frequency *= std::pow(2.0, layer.vibratoDepth / 12.0 * std::sin(2.0 * kPi * layer.vibratoRate * t));
    }
    double fmIndex = Lerp(layer.fmIndexStart, layer.fmIndexEnd, progress);
    double a = first.Next(layer, frequency, fmIndex);
    double b = pair ? second.Next(layer, frequency * detuneRatio, fmIndex) : 0.0;
    if (layer.drive > 0) {
      a = std::tanh(layer.drive * a) * driveNorm;
      b = std::tanh(layer.drive * b) * driveNorm;
    }
    double level = EnvelopeAt(layer, t) * layer.gain;
    if (layer.tremoloDepth > 0) {
      level *= 1.0 - layer.tremoloDepth * 0.5 * (1.0 - std::cos(2.0 * kPi * layer.tremoloRate * t));
    }
    if (pair) level *= 0.5;
    if (out.channels == 1) {
      out.samples[frame] += static_cast<float>((a + b) * level);
    } else {
      out.samples[frame * 2] += static_cast<float>((a * firstLeft + b * secondLeft) * level);
      out.samples[frame * 2 + 1] += static_cast<float>((a * firstRight + b * secondRight) * level);
    }
  }
}

namespace {

class Comb {
 public:
  explicit Comb(size_t length) : line_(length, 0.0) {}
  double Process(double x, double feedback, double damp) {
    double y = line_[pos_];
    store_ = y * (1.0 - damp) + store_ * damp;
    line_[pos_] = x + store_ * feedback;
    pos_ = (pos_ + 1) % line_.size();
    return y;
  }

 private:
  std::vector<double> line_;
  size_t pos_ = 0;
  double store_ = 0;
};

class Allpass {
 public:
  explicit Allpass(size_t length) : line_(length, 0.0) {}
  double Process(double x) {
    double delayed = line_[pos_];
    double y = delayed - x;
    line_[pos_] = x + delayed * 0.5;
    pos_ = (pos_ + 1) % line_.size();
    return y;
  }

 private:
  std::vector<double> line_;
  size_t pos_ = 0;
};

}  // namespace

void ApplyReverb(const ReverbSettings& settings, Buffer& buffer) {
  if (settings.mix <= 0) return;
  static const size_t kCombLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
  static const size_t kAllpassLengths[4] = {556, 441, 341, 225};
  const size_t kStereoSpread = 23;
  const double feedback = std::clamp(settings.room, 0.0, 0.98);
  const double damp = std::clamp(settings.damp, 0.0, 1.0);
  const size_t frames = buffer.Frames();
  const int channels = buffer.channels;
  // The room hears the dry mid signal; the wet part is added once all of it is computed.
  std::vector<double> wet(buffer.samples.size(), 0.0);
  for (int channel = 0; channel < channels; ++channel) {
    std::vector<Comb> combs;
    std::vector<Allpass> allpasses;
    for (size_t length : kCombLengths) combs.emplace_back(length + kStereoSpread * channel);
    for (size_t length : kAllpassLengths) allpasses.emplace_back(length + kStereoSpread * channel);
    for (size_t frame = 0; frame < frames; ++frame) {
      double input = 0;
      for (int c = 0; c < channels; ++c) input += buffer.samples[frame * channels + c];
      input *= 0.015 / channels;
      double out = 0;
      for (Comb& comb : combs) out += comb.Process(input, feedback, damp);
      for (Allpass& allpass : allpasses) out = allpass.Process(out);
      wet[frame * channels + channel] = out;
    }
  }
  for (size_t i = 0; i < wet.size(); ++i) buffer.samples[i] += static_cast<float>(settings.mix * wet[i]);
}

void ApplyEcho(const EchoSettings& settings, Buffer& buffer) {
  const long delayFrames = std::lround(settings.delay * kSampleRate);
  if (delayFrames <= 0) return;
  const int channels = buffer.channels;
  const size_t frames = buffer.Frames();
  for (int channel = 0; channel < channels; ++channel) {
    std::vector<double> line(static_cast<size_t>(delayFrames), 0.0);
    size_t pos = 0;
    for (size_t frame = 0; frame < frames; ++frame) {
      float& sample = buffer.samples[frame * channels + channel];
      double delayed = line[pos];
      line[pos] = sample + delayed * settings.feedback;
      pos = (pos + 1) % line.size();
      sample += static_cast<float>(delayed * settings.mix);
    }
  }
}

void RemoveDc(Buffer& buffer, double hz) {
  const double rc = 1.0 / (2.0 * kPi * hz);
  const double a = rc / (rc + 1.0 / kSampleRate);
  const int channels = buffer.channels;
  for (int channel = 0; channel < channels; ++channel) {
    double previousIn = 0, previousOut = 0;
    for (size_t frame = 0; frame < buffer.Frames(); ++frame) {
      float& sample = buffer.samples[frame * channels + channel];
      double out = a * (previousOut + sample - previousIn);
      previousIn = sample;
      previousOut = out;
      sample = static_cast<float>(out);
    }
  }
}

void ApplyFades(Buffer& buffer, double fadeInSeconds, double fadeOutSeconds) {
  const size_t frames = buffer.Frames();
  const int channels = buffer.channels;
  auto fade = [&](size_t length, bool atStart) {
    length = std::min(length, frames);
    for (size_t i = 0; i < length; ++i) {
      // 0 on the outermost frame, rising to just below 1 on the innermost.
      double gain = 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(length));
      size_t frame = atStart ? i : frames - 1 - i;
      for (int c = 0; c < channels; ++c) buffer.samples[frame * channels + c] *= static_cast<float>(gain);
    }
  };
  fade(static_cast<size_t>(std::lround(fadeInSeconds * kSampleRate)), true);
  fade(static_cast<size_t>(std::lround(fadeOutSeconds * kSampleRate)), false);
}

double PeakDb(const Buffer& buffer) {
  float peak = 0;
  for (float s : buffer.samples) peak = std::max(peak, std::fabs(s));
  return peak > 0 ? 20.0 * std::log10(peak) : -INFINITY;
}

double NormalizePeak(Buffer& buffer, double peakDb) {
  float peak = 0;
  for (float s : buffer.samples) peak = std::max(peak, std::fabs(s));
  if (peak <= 0) return 1.0;
  double gain = std::pow(10.0, peakDb / 20.0) / peak;
  for (float& s : buffer.samples) s = static_cast<float>(s * gain);
  return gain;
}

void Saturate(Buffer& buffer, double drive) {
  if (drive <= 0) return;
  NormalizePeak(buffer, 0.0);
  const double norm = 1.0 / std::tanh(drive);
  for (float& s : buffer.samples) s = static_cast<float>(std::tanh(drive * s) * norm);
}

void WrapTail(Buffer& buffer, size_t loopFrames) {
  if (loopFrames == 0) {
    buffer.samples.clear();
    return;
  }
  const size_t channels = static_cast<size_t>(buffer.channels);
  for (size_t frame = loopFrames; frame < buffer.Frames(); ++frame) {
    size_t target = frame % loopFrames;
    for (size_t c = 0; c < channels; ++c) buffer.samples[target * channels + c] += buffer.samples[frame * channels + c];
  }
  buffer.samples.resize(loopFrames * channels, 0.0f);
}

}  // namespace tav::sfx
