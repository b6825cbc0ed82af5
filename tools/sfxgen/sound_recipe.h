// Sound effect recipes: the text format of assets/audio/*.sfx and its rendering
// into a finished mono effect.
//
// A recipe is a list of "key values..." lines. Lines before the first "layer"
// set the whole sound (tail, peak, fadein, fadeout, dc, drive, reverb, echo); each
// "layer" line starts a new voice whose lines follow it (see ReadLayerKey for
// the voice keys). A layer can be copied with "repeat N" and "step SECONDS",
// each copy "transpose SEMITONES" higher and "copygain G" times as loud, or
// played once per note of "notes C5 E5 G5 ...".
#pragma once

#include <string>
#include <vector>

#include "tools/sfxgen/recipe_text.h"
#include "tools/sfxgen/synth.h"

namespace tav::sfx {

struct SoundRecipe {
  double tail = 0.02;       // silence-to-be after the last layer (reverb and echo ring into it)
  double peakDb = -1.0;     // the finished sound's peak
  double fadeIn = 0.001;    // seconds
  double fadeOut = 0.008;   // seconds
  double dcCutoff = 20.0;   // Hz of the rumble filter
  double drive = 0;         // soft saturation of the mix (see Saturate)
  ReverbSettings reverb;
  EchoSettings echo;
  std::vector<Layer> layers;  // copies already expanded

  // The end of the last layer plus the tail.
  double Length() const;
};

// Applies one voice key to the layer; false if the key is not a voice key.
// Keys: wave, start, length, attack, hold, curve, gain, freq F [F2], glide,
// pulse, detune, vibrato RATE DEPTH, tremolo RATE DEPTH, fm RATIO I [I2],
// lowpass/highpass/bandpass F [F2], resonance, drive, density, seed, pan.
bool ReadLayerKey(const RecipeLine& line, Layer& layer);

// Reads "reverb MIX ROOM DAMP" and "echo DELAY FEEDBACK MIX", the room keys
// that sound and music recipes share; false for any other key.
bool ReadRoomKey(const RecipeLine& line, ReverbSettings& reverb, EchoSettings& echo);

// Throws RecipeError on any mistake.
SoundRecipe ParseSoundRecipe(const std::string& text);

// The finished effect: layers mixed, reverb and echo, saturated, rumble
// removed, faded at both ends and normalised to the recipe's peak.
Buffer RenderSound(const SoundRecipe& recipe);

}  // namespace tav::sfx
