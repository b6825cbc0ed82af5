// Parsing of music recipes and rendering of the looping arrangement.
#include "tools/sfxgen/music.h"

#include <algorithm>
#include <cmath>

#include "tools/sfxgen/sound_recipe.h"

namespace tav::sfx {
namespace {

constexpr double kLongestLoop = 600.0;  // seconds

struct ChordQuality {
  const char* suffix;
  int third, fifth, seventh, ninth;
};

const ChordQuality kQualities[] = {
    {"", 4, 7, -1, -1},      {"m", 3, 7, -1, -1},     {"7", 4, 7, 10, -1},     {"maj7", 4, 7, 11, -1},
    {"m7", 3, 7, 10, -1},    {"6", 4, 7, 9, -1},      {"m6", 3, 7, 9, -1},     {"sus2", 2, 7, -1, -1},
    {"sus4", 5, 7, -1, -1},  {"7sus4", 5, 7, 10, -1}, {"add9", 4, 7, -1, 14},  {"madd9", 3, 7, -1, 14},
    {"9", 4, 7, 10, 14},     {"maj9", 4, 7, 11, 14},  {"m9", 3, 7, 10, 14},
};

// Reads "C", "F#", "Bb" at the start of text; returns the characters used (0 if none).
size_t ReadPitchClass(const std::string& text, int& pitchClass) {
  static const int kSemitoneOfLetter[7] = {9, 11, 0, 2, 4, 5, 7};
  if (text.empty() || text[0] < 'A' || text[0] > 'G') return 0;
  pitchClass = kSemitoneOfLetter[text[0] - 'A'];
  size_t used = 1;
  if (text.size() > 1 && text[1] == '#') {
    pitchClass++;
    used = 2;
  } else if (text.size() > 1 && text[1] == 'b') {
    pitchClass--;
    used = 2;
  }
  pitchClass = (pitchClass + 12) % 12;
  return used;
}

bool IsPatternStep(const std::string& step) {
  static const char* kSteps[] = {"1", "3", "5", "7", "8", "9", "10", "12", "B", "_", "."};
  for (const char* known : kSteps) {
    if (step == known) return true;
  }
  return false;
}

void ReadPhraseNotes(const RecipeLine& line, Phrase& phrase) {
  for (size_t i = 2; i < line.words.size(); ++i) {
    const std::string& token = line.words[i];
    size_t colon = token.find(':');
    if (colon == std::string::npos) line.Fail("\"" + token + "\" is not NOTE:BEATS");
    std::string note = token.substr(0, colon);
    std::string rest = token.substr(colon + 1);
    std::string velocityText;
    size_t second = rest.find(':');
    if (second != std::string::npos) {
      velocityText = rest.substr(second + 1);
      rest = rest.substr(0, second);
    }
    NoteEvent event;
    event.beat = phrase.beats;
    if (!ReadNumber(rest, event.beats) || event.beats <= 0 || event.beats > 64) {
      line.Fail("\"" + token + "\" has no sensible length in beats");
    }
    if (!velocityText.empty() && (!ReadNumber(velocityText, event.velocity) || event.velocity < 0 ||
                                  event.velocity > 2)) {
      line.Fail("\"" + token + "\" has no sensible velocity");
    }
    phrase.beats += event.beats;
    if (note == "r") continue;
    if (!ReadNoteName(note, event.key)) line.Fail("\"" + note + "\" is not a note name");
    phrase.notes.push_back(event);
  }
}

int ReadKey(const RecipeLine& line, size_t i) {
  int key = 0;
  if (i >= line.words.size() || !ReadNoteName(line.words[i], key)) line.Fail("expects a note name such as G3");
  return key;
}

void ReadPartKey(const RecipeLine& line, Part& part) {
  const std::string& key = line.Key();
  if (key == "instrument") {
    line.ExpectArguments(1, 1);
    part.instrument = line.words[1];
  } else if (key == "voicing") {
    line.ExpectArguments(1, 1);
    part.voicingLow = ReadKey(line, 1);
  } else if (key == "pattern") {
    line.ExpectArguments(1, 64);
    std::vector<std::string> steps(line.words.begin() + 1, line.words.end());
    for (const std::string& step : steps) {
      if (!IsPatternStep(step)) line.Fail("\"" + step + "\" is not a pattern step");
    }
    part.patterns.push_back(steps);
  } else if (key == "melody") {
    line.ExpectArguments(1, 256);
    part.melody.insert(part.melody.end(), line.words.begin() + 1, line.words.end());
  } else if (key == "octave") {
    part.octave = static_cast<int>(line.OnlyNumber(0, 8));
  } else if (key == "bars") {
    line.ExpectArguments(2, 2);
    part.firstBar = static_cast<int>(line.Number(1, 1, 10000));
    part.lastBar = static_cast<int>(line.Number(2, part.firstBar, 10000));
  } else if (key == "gain") {
    part.gain = line.OnlyNumber(0, 16);
  } else if (key == "pan") {
    part.pan = line.OnlyNumber(-1, 1);
  } else {
    line.Fail("unknown part key");
  }
}

void CheckPart(const MusicRecipe& recipe, const Part& part) {
  const std::string where = "part \"" + part.name + "\": ";
  if (recipe.instruments.count(part.instrument) == 0) {
    throw RecipeError(where + "unknown instrument \"" + part.instrument + "\"");
  }
  int kinds = (part.voicingLow >= 0) + !part.patterns.empty() + !part.melody.empty();
  if (kinds != 1) throw RecipeError(where + "needs exactly one of voicing, pattern or melody");
  if (part.firstBar > static_cast<int>(recipe.chords.size())) {
    throw RecipeError(where + "starts after the last bar");
  }
  // A melody longer than the loop would play over its own beginning.
  double melodyBeats = (part.firstBar - 1) * recipe.meter;
  for (const std::string& name : part.melody) {
    auto phrase = recipe.phrases.find(name);
    if (phrase == recipe.phrases.end()) throw RecipeError(where + "unknown phrase \"" + name + "\"");
    melodyBeats += phrase->second.beats;
  }
  if (melodyBeats > recipe.meter * static_cast<double>(recipe.chords.size()) + 1e-9) {
    throw RecipeError(where + "the melody runs past the end of the loop");
  }
}

}  // namespace

int Chord::DegreeInterval(int degree) const {
  switch (degree) {
    case 1: return 0;
    case 3: return third;
    case 5: return fifth;
    case 7: return seventh >= 0 ? seventh : 12;
    case 8: return 12;
    case 9: return ninth >= 0 ? ninth : 14;
    case 10: return third + 12;
    case 12: return fifth + 12;
    default: return 0;
  }
}

std::vector<int> Chord::Tones() const {
  std::vector<int> tones = {root, (root + third) % 12, (root + fifth) % 12};
  if (seventh >= 0) tones.push_back((root + seventh) % 12);
  if (ninth >= 0) tones.push_back((root + ninth) % 12);
  return tones;
}

bool ReadChord(const std::string& symbol, Chord& chord) {
  size_t used = ReadPitchClass(symbol, chord.root);
  if (used == 0) return false;
  std::string quality = symbol.substr(used);
  chord.bass = chord.root;
  size_t slash = quality.find('/');
  if (slash != std::string::npos) {
    std::string bass = quality.substr(slash + 1);
    if (ReadPitchClass(bass, chord.bass) != bass.size() || bass.empty()) return false;
    quality = quality.substr(0, slash);
  }
  for (const ChordQuality& known : kQualities) {
    if (quality == known.suffix) {
      chord.third = known.third;
      chord.fifth = known.fifth;
      chord.seventh = known.seventh;
      chord.ninth = known.ninth;
      return true;
    }
  }
  return false;
}

MusicRecipe ParseMusicRecipe(const std::string& text) {
  MusicRecipe recipe;
  enum class Block { None, Instrument, Part } block = Block::None;
  std::string blockName;
  Part part;
  for (const RecipeLine& line : SplitRecipe(text)) {
    const std::string& key = line.Key();
    if (block == Block::Instrument) {
      Instrument& instrument = recipe.instruments[blockName];
      if (key == "end") {
        line.ExpectArguments(0, 0);
        block = Block::None;
      } else if (key == "release") {
        instrument.release = line.OnlyNumber(0, 30);
      } else if (!ReadLayerKey(line, instrument.voice)) {
        line.Fail("unknown instrument key");
      }
      continue;
    }
    if (block == Block::Part) {
      if (key == "end") {
        line.ExpectArguments(0, 0);
        recipe.parts.push_back(part);
        block = Block::None;
      } else {
        ReadPartKey(line, part);
      }
      continue;
    }
    if (key == "tempo") {
      recipe.tempo = line.OnlyNumber(20, 300);
    } else if (key == "meter") {
      recipe.meter = static_cast<int>(line.OnlyNumber(1, 16));
    } else if (key == "peak") {
      recipe.peakDb = line.OnlyNumber(-24, 0);
    } else if (key == "tail") {
      recipe.tail = line.OnlyNumber(0, 30);
    } else if (ReadRoomKey(line, recipe.reverb, recipe.echo)) {
      continue;
    } else if (key == "chords") {
      line.ExpectArguments(1, 1000);
      for (size_t i = 1; i < line.words.size(); ++i) {
        Chord chord;
        if (!ReadChord(line.words[i], chord)) line.Fail("\"" + line.words[i] + "\" is not a chord I know");
        recipe.chords.push_back(chord);
      }
    } else if (key == "phrase") {
      line.ExpectArguments(1, 1000);
      ReadPhraseNotes(line, recipe.phrases[line.words[1]]);
    } else if (key == "instrument" || key == "part") {
      line.ExpectArguments(1, 1);
      blockName = line.words[1];
      if (key == "instrument") {
        if (recipe.instruments.count(blockName) != 0) line.Fail("instrument defined twice");
        recipe.instruments[blockName] = Instrument();
        block = Block::Instrument;
      } else {
        part = Part();
        part.name = blockName;
        block = Block::Part;
      }
    } else {
      line.Fail("unknown music key");
    }
  }
  if (block != Block::None) throw RecipeError("\"" + blockName + "\" has no \"end\"");
  if (recipe.chords.empty()) throw RecipeError("the music has no chords");
  if (recipe.LoopSeconds() > kLongestLoop) throw RecipeError("the loop is longer than 600 s");
  for (const Part& checked : recipe.parts) CheckPart(recipe, checked);
  return recipe;
}

std::vector<NoteEvent> PartNotes(const MusicRecipe& recipe, const Part& part) {
  std::vector<NoteEvent> notes;
  const int bars = static_cast<int>(recipe.chords.size());
  const int lastBar = std::min(part.lastBar, bars);
  const double meter = recipe.meter;
  if (!part.melody.empty()) {
    double offset = (part.firstBar - 1) * meter;
    for (const std::string& name : part.melody) {
      const Phrase& phrase = recipe.phrases.at(name);
      for (NoteEvent note : phrase.notes) {
        note.beat += offset;
        notes.push_back(note);
      }
      offset += phrase.beats;
    }
    return notes;
  }
  bool sounding = false;  // whether "_" may lengthen the last note
  for (int bar = part.firstBar; bar <= lastBar; ++bar) {
    const Chord& chord = recipe.chords[static_cast<size_t>(bar - 1)];
    const double barStart = (bar - 1) * meter;
    if (part.voicingLow >= 0) {
      for (int tone : chord.Tones()) {
        NoteEvent note;
        note.beat = barStart;
        note.beats = meter;
        note.key = part.voicingLow + ((tone - part.voicingLow) % 12 + 12) % 12;
        notes.push_back(note);
      }
      continue;
    }
    const auto& steps = part.patterns[static_cast<size_t>(bar - part.firstBar) % part.patterns.size()];
    const double stepBeats = meter / static_cast<double>(steps.size());
    for (size_t i = 0; i < steps.size(); ++i) {
      const std::string& step = steps[i];
      if (step == ".") {
        sounding = false;
      } else if (step == "_") {
        if (sounding) notes.back().beats += stepBeats;
      } else {
        NoteEvent note;
        note.beat = barStart + stepBeats * static_cast<double>(i);
        note.beats = stepBeats;
        int base = (part.octave + 1) * 12;
        note.key = step == "B" ? base + chord.bass : base + chord.root + chord.DegreeInterval(std::stoi(step));
        double withinBeat = note.beat - std::floor(note.beat);
        note.velocity = withinBeat < 1e-9 ? 1.0 : 0.8;  // a light accent on the beat
        notes.push_back(note);
        sounding = true;
      }
    }
  }
  return notes;
}

Buffer RenderMusic(const MusicRecipe& recipe) {
  const double secondsPerBeat = recipe.SecondsPerBeat();
  std::vector<Layer> layers;
  double end = recipe.LoopSeconds();
  uint32_t noteNumber = 0;
  for (const Part& part : recipe.parts) {
    const Instrument& instrument = recipe.instruments.at(part.instrument);
    const double glideRatio = instrument.voice.freqEnd / instrument.voice.freqStart;
    for (const NoteEvent& note : PartNotes(recipe, part)) {
      Layer layer = instrument.voice;
      layer.freqStart = KeyFrequency(note.key);
      layer.freqEnd = layer.freqStart * glideRatio;
      layer.start = note.beat * secondsPerBeat;
      if (instrument.release >= 0) {
        layer.hold = std::max(0.0, note.beats * secondsPerBeat - layer.attack);
        layer.length = layer.attack + layer.hold + instrument.release;
      }
      layer.gain *= note.velocity * part.gain;
      layer.pan = std::clamp(layer.pan + part.pan, -1.0, 1.0);
      layer.seed = instrument.voice.seed + 7u * ++noteNumber;
      end = std::max(end, layer.start + layer.length);
      layers.push_back(layer);
    }
  }
  Buffer buffer;
  buffer.channels = 2;
  buffer.Resize(static_cast<size_t>(std::lround((end + recipe.tail) * kSampleRate)));
  for (const Layer& layer : layers) RenderLayer(layer, buffer);
  ApplyEcho(recipe.echo, buffer);
  ApplyReverb(recipe.reverb, buffer);
  RemoveDc(buffer, 20.0);
  WrapTail(buffer, static_cast<size_t>(std::lround(recipe.LoopSeconds() * kSampleRate)));
  NormalizePeak(buffer, recipe.peakDb);
  return buffer;
}

}  // namespace tav::sfx
