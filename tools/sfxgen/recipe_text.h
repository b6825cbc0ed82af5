// Reading the sound and music recipes: splits recipe text into lines of words,
// reads numbers and note names, and reports mistakes with the line they are on.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace tav::sfx {

// A mistake in a recipe; what() names the recipe line.
class RecipeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One non-empty recipe line without its comment: a word that begins with "#"
// starts a comment running to the line end (so "C#5" is still a note).
struct RecipeLine {
  int number = 0;                  // 1-based line number in the recipe
  std::vector<std::string> words;  // separated by blanks or tabs

  const std::string& Key() const { return words.front(); }
  size_t ArgumentCount() const { return words.size() - 1; }
  // Throws RecipeError naming this line.
  [[noreturn]] void Fail(const std::string& message) const;
  // Throws unless the line has between `least` and `most` arguments.
  void ExpectArguments(size_t least, size_t most) const;
  // Argument i (1-based) as a finite number within [low, high].
  double Number(size_t i, double low, double high) const;
  // The line's one and only argument as a number within [low, high].
  double OnlyNumber(double low, double high) const;
  // Argument i as a frequency in Hz: a number or a note name such as "C#5".
  double Frequency(size_t i) const;
};

// Splits recipe text into its non-empty lines. Rejects text with NUL bytes.
std::vector<RecipeLine> SplitRecipe(const std::string& text);

// Reads a finite number that fills the whole word; false if it is not one.
bool ReadNumber(const std::string& word, double& value);

// The MIDI key number of a note name ("A4" = 69, "C#5", "Bb3"); false if the
// word is not a note name between octaves 0 and 9.
bool ReadNoteName(const std::string& word, int& midiKey);

// The frequency of a MIDI key in equal temperament with A4 = 440 Hz.
double KeyFrequency(double midiKey);

}  // namespace tav::sfx
