// Music recipes: the text format of assets/audio/*.mus (tempo, instruments,
// one chord per bar, parts that voice the chords, play rhythm patterns over
// them or play written melodies) and its rendering into a seamless stereo loop.
//
//   tempo 76            beats per minute
//   meter 4             beats per bar
//   chords Fmaj7 G6 ... one chord per bar, over as many lines as wanted
//   phrase NAME E5:1 r:0.5 G5:1.5:0.8 ...   NOTE:BEATS[:VELOCITY], r = rest
//   instrument NAME ... end     voice keys as in sound recipes, plus "release"
//   part NAME ... end           instrument, voicing LOW | pattern ... | melody ...,
//                               octave, bars FIRST LAST, gain, pan
//
// Pattern steps split a bar evenly: 1 3 5 7 9 are chord tones, 8 10 12 the
// root, third and fifth an octave up, B the chord's bass note, "_" holds the
// previous step, "." rests. Several pattern lines take turns bar by bar.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/sfxgen/recipe_text.h"
#include "tools/sfxgen/synth.h"

namespace tav::sfx {

// A chord as semitones above its root.
struct Chord {
  int root = 0;         // pitch class 0 = C
  int bass = 0;         // pitch class of the lowest note (slash chords)
  int third = 4;
  int fifth = 7;
  int seventh = -1;     // -1: none
  int ninth = -1;       // -1: none

  // Semitones above the root of a pattern degree (1, 3, 5, 7, 8, 9, 10, 12).
  int DegreeInterval(int degree) const;
  // Pitch classes of every chord tone, root first.
  std::vector<int> Tones() const;
};

// Reads chord symbols such as "C", "Am7", "Fmaj7", "G6", "Dsus4", "Em9", "C/E".
bool ReadChord(const std::string& symbol, Chord& chord);

struct Instrument {
  Layer voice;           // freq is replaced by each note's pitch
  double release = -1;   // held notes: seconds after the note ends; < 0: struck, fixed length
};

// One played note, in beats from the start of the loop.
struct NoteEvent {
  double beat = 0;
  double beats = 1;
  int key = 60;          // MIDI key
  double velocity = 1;
};

// A written run of melody notes.
struct Phrase {
  std::vector<NoteEvent> notes;  // beats relative to the phrase start
  double beats = 0;              // its whole length, trailing rests included
};

struct Part {
  std::string name;
  std::string instrument;
  int firstBar = 1;      // 1-based, inclusive
  int lastBar = 1 << 20;
  double gain = 1;
  double pan = 0;
  int voicingLow = -1;   // chord part: tones placed in [low, low + 12)
  int octave = 4;        // pattern part: octave of degree 1
  std::vector<std::vector<std::string>> patterns;
  std::vector<std::string> melody;  // phrase names in order
};

struct MusicRecipe {
  double tempo = 80;
  int meter = 4;
  double peakDb = -3;
  double tail = 8;       // reverb ring rendered past the last note, wrapped onto the start
  ReverbSettings reverb;
  EchoSettings echo;
  std::vector<Chord> chords;  // one per bar; the loop is this many bars long
  std::map<std::string, Instrument> instruments;
  std::map<std::string, Phrase> phrases;
  std::vector<Part> parts;

  double SecondsPerBeat() const { return 60.0 / tempo; }
  double LoopSeconds() const { return SecondsPerBeat() * meter * static_cast<double>(chords.size()); }
};

// Throws RecipeError on any mistake (unknown instrument or phrase, bad chord...).
MusicRecipe ParseMusicRecipe(const std::string& text);

// Every note a part plays over the loop, in beats from the loop start.
std::vector<NoteEvent> PartNotes(const MusicRecipe& recipe, const Part& part);

// The stereo loop: exactly LoopSeconds() long, its tail wrapped onto its head.
Buffer RenderMusic(const MusicRecipe& recipe);

}  // namespace tav::sfx
