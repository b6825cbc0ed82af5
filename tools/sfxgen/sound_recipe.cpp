// Parsing and rendering of sound effect recipes.
#include "tools/sfxgen/sound_recipe.h"

#include <algorithm>
#include <cmath>

namespace tav::sfx {
namespace {

constexpr double kLongestSound = 30.0;  // seconds
constexpr size_t kMostLayers = 512;

// How one recipe layer is copied before rendering.
struct LayerCopies {
  int count = 1;
  double step = 0.1;
  double transpose = 0;
  double copyGain = 1;
  std::vector<double> notes;  // Hz; replaces count when present
};

void ReadFilter(const RecipeLine& line, Layer& layer, FilterKind kind) {
  line.ExpectArguments(1, 2);
  layer.filter = kind;
  layer.cutoffStart = line.Frequency(1);
  layer.cutoffEnd = line.ArgumentCount() == 2 ? line.Frequency(2) : layer.cutoffStart;
}

Wave ReadWave(const RecipeLine& line) {
  line.ExpectArguments(1, 1);
  const std::string& name = line.words[1];
  if (name == "sine") return Wave::Sine;
  if (name == "triangle") return Wave::Triangle;
  if (name == "square") return Wave::Square;
  if (name == "saw") return Wave::Saw;
  if (name == "noise") return Wave::Noise;
  if (name == "crackle") return Wave::Crackle;
  line.Fail("unknown wave \"" + name + "\" (sine, triangle, square, saw, noise, crackle)");
}

bool ReadCopyKey(const RecipeLine& line, LayerCopies& copies) {
  const std::string& key = line.Key();
  if (key == "repeat") {
    copies.count = static_cast<int>(line.OnlyNumber(1, 64));
  } else if (key == "step") {
    copies.step = line.OnlyNumber(0, 10);
  } else if (key == "transpose") {
    copies.transpose = line.OnlyNumber(-48, 48);
  } else if (key == "copygain") {
    copies.copyGain = line.OnlyNumber(0, 4);
  } else if (key == "notes") {
    line.ExpectArguments(1, 64);
    copies.notes.clear();
    for (size_t i = 1; i <= line.ArgumentCount(); ++i) copies.notes.push_back(line.Frequency(i));
  } else {
    return false;
  }
  return true;
}

void AddCopies(const Layer& layer, const LayerCopies& copies, int lineNumber, std::vector<Layer>& out) {
  int count = copies.notes.empty() ? copies.count : static_cast<int>(copies.notes.size());
  double gain = 1;
  for (int i = 0; i < count; ++i) {
    Layer copy = layer;
    copy.start = layer.start + copies.step * i;
    double ratio = std::pow(2.0, copies.transpose * i / 12.0);
    if (!copies.notes.empty()) ratio = copies.notes[static_cast<size_t>(i)] / layer.freqStart;
    copy.freqStart *= ratio;
    copy.freqEnd *= ratio;
    copy.gain *= gain;
    copy.seed = layer.seed + static_cast<uint32_t>(i) * 101u;
    gain *= copies.copyGain;
    if (copy.start + copy.length > kLongestSound) {
      throw RecipeError("layer at line " + std::to_string(lineNumber) + " runs past " +
                        std::to_string(kLongestSound) + " s");
    }
    if (copy.freqStart > 20000 || copy.freqEnd > 20000) {
      throw RecipeError("layer at line " + std::to_string(lineNumber) + " is transposed above 20 kHz");
    }
    out.push_back(copy);
    if (out.size() > kMostLayers) throw RecipeError("more than " + std::to_string(kMostLayers) + " layers");
  }
}

}  // namespace

double SoundRecipe::Length() const {
  double end = 0;
  for (const Layer& layer : layers) end = std::max(end, layer.start + layer.length);
  return end + tail;
}

bool ReadLayerKey(const RecipeLine& line, Layer& layer) {
  const std::string& key = line.Key();
  if (key == "wave") {
    layer.wave = ReadWave(line);
  } else if (key == "start") {
    layer.start = line.OnlyNumber(0, kLongestSound);
  } else if (key == "length") {
    layer.length = line.OnlyNumber(0.001, kLongestSound);
  } else if (key == "attack") {
    layer.attack = line.OnlyNumber(0, kLongestSound);
  } else if (key == "hold") {
    layer.hold = line.OnlyNumber(0, kLongestSound);
  } else if (key == "curve") {
    layer.curve = line.OnlyNumber(0, 40);
  } else if (key == "gain") {
    layer.gain = line.OnlyNumber(0, 16);
  } else if (key == "freq") {
    line.ExpectArguments(1, 2);
    layer.freqStart = line.Frequency(1);
    layer.freqEnd = line.ArgumentCount() == 2 ? line.Frequency(2) : layer.freqStart;
  } else if (key == "glide") {
    layer.glide = line.OnlyNumber(0.001, kLongestSound);
  } else if (key == "pulse") {
    layer.pulseWidth = line.OnlyNumber(0.05, 0.95);
  } else if (key == "detune") {
    layer.detuneCents = line.OnlyNumber(-100, 100);
  } else if (key == "vibrato") {
    line.ExpectArguments(2, 2);
    layer.vibratoRate = line.Number(1, 0, 50);
    layer.vibratoDepth = line.Number(2, 0, 12);
  } else if (key == "tremolo") {
    line.ExpectArguments(2, 2);
    layer.tremoloRate = line.Number(1, 0, 200);
    layer.tremoloDepth = line.Number(2, 0, 1);
  } else if (key == "fm") {
    line.ExpectArguments(2, 3);
    layer.fmRatio = line.Number(1, 0.01, 32);
    layer.fmIndexStart = line.Number(2, 0, 50);
    layer.fmIndexEnd = line.ArgumentCount() == 3 ? line.Number(3, 0, 50) : layer.fmIndexStart;
  } else if (key == "lowpass") {
    ReadFilter(line, layer, FilterKind::LowPass);
  } else if (key == "highpass") {
    ReadFilter(line, layer, FilterKind::HighPass);
  } else if (key == "bandpass") {
    ReadFilter(line, layer, FilterKind::BandPass);
  } else if (key == "resonance") {
    layer.resonance = line.OnlyNumber(0.1, 30);
  } else if (key == "drive") {
    layer.drive = line.OnlyNumber(0, 50);
  } else if (key == "density") {
    layer.crackleDensity = line.OnlyNumber(1, kSampleRate / 2.0);
  } else if (key == "seed") {
    layer.seed = static_cast<uint32_t>(line.OnlyNumber(0, 1e9));
  } else if (key == "pan") {
    layer.pan = line.OnlyNumber(-1, 1);
  } else {
    return false;
  }
  return true;
}

bool ReadRoomKey(const RecipeLine& line, ReverbSettings& reverb, EchoSettings& echo) {
  if (line.Key() == "reverb") {
    line.ExpectArguments(3, 3);
    reverb.mix = line.Number(1, 0, 4);
    reverb.room = line.Number(2, 0, 0.98);
    reverb.damp = line.Number(3, 0, 1);
  } else if (line.Key() == "echo") {
    line.ExpectArguments(3, 3);
    echo.delay = line.Number(1, 0, 2);
    echo.feedback = line.Number(2, 0, 0.95);
    echo.mix = line.Number(3, 0, 2);
  } else {
    return false;
  }
  return true;
}

SoundRecipe ParseSoundRecipe(const std::string& text) {
  SoundRecipe recipe;
  bool inLayer = false;
  Layer layer;
  LayerCopies copies;
  int layerLine = 0;
  auto finishLayer = [&] {
    if (inLayer) AddCopies(layer, copies, layerLine, recipe.layers);
  };
  for (const RecipeLine& line : SplitRecipe(text)) {
    const std::string& key = line.Key();
    if (key == "layer") {
      line.ExpectArguments(0, 0);
      finishLayer();
      inLayer = true;
      layer = Layer();
      copies = LayerCopies();
      layerLine = line.number;
      continue;
    }
    if (inLayer) {
      if (ReadLayerKey(line, layer) || ReadCopyKey(line, copies)) continue;
      line.Fail("unknown layer key");
    }
    if (key == "tail") {
      recipe.tail = line.OnlyNumber(0, 10);
    } else if (key == "peak") {
      recipe.peakDb = line.OnlyNumber(-24, 0);
    } else if (key == "fadein") {
      recipe.fadeIn = line.OnlyNumber(0, 1);
    } else if (key == "fadeout") {
      recipe.fadeOut = line.OnlyNumber(0, 5);
    } else if (key == "drive") {
      recipe.drive = line.OnlyNumber(0, 20);
    } else if (key == "dc") {
      recipe.dcCutoff = line.OnlyNumber(1, 500);
    } else if (!ReadRoomKey(line, recipe.reverb, recipe.echo)) {
      line.Fail("unknown sound key (a voice key must follow a \"layer\" line)");
    }
  }
  finishLayer();
  if (recipe.layers.empty()) throw RecipeError("the recipe has no layer");
  if (recipe.Length() > kLongestSound) throw RecipeError("the sound is longer than 30 s");
  return recipe;
}

Buffer RenderSound(const SoundRecipe& recipe) {
  Buffer buffer;
  buffer.channels = 1;
  buffer.Resize(static_cast<size_t>(std::lround(recipe.Length() * kSampleRate)));
  for (const Layer& layer : recipe.layers) RenderLayer(layer, buffer);
  ApplyEcho(recipe.echo, buffer);
  ApplyReverb(recipe.reverb, buffer);
  Saturate(buffer, recipe.drive);
  RemoveDc(buffer, recipe.dcCutoff);
  ApplyFades(buffer, recipe.fadeIn, recipe.fadeOut);
  NormalizePeak(buffer, recipe.peakDb);
  return buffer;
}

}  // namespace tav::sfx
