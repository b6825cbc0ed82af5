// Line splitting and value reading shared by the sound and music recipe parsers.
#include "tools/sfxgen/recipe_text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace tav::sfx {

void RecipeLine::Fail(const std::string& message) const {
  throw RecipeError("line " + std::to_string(number) + " (" + Key() + "): " + message);
}

void RecipeLine::ExpectArguments(size_t least, size_t most) const {
  size_t count = ArgumentCount();
  if (count < least || count > most) {
    if (least == most) Fail("expects " + std::to_string(least) + " value(s)");
    Fail("expects " + std::to_string(least) + " to " + std::to_string(most) + " values");
  }
}

double RecipeLine::Number(size_t i, double low, double high) const {
  if (i >= words.size()) Fail("a value is missing");
  double value = 0;
  if (!ReadNumber(words[i], value)) Fail("\"" + words[i] + "\" is not a number");
  if (value < low || value > high) {
    Fail("\"" + words[i] + "\" is outside " + std::to_string(low) + " .. " + std::to_string(high));
  }
  return value;
}

double RecipeLine::OnlyNumber(double low, double high) const {
  ExpectArguments(1, 1);
  return Number(1, low, high);
}

double RecipeLine::Frequency(size_t i) const {
  if (i >= words.size()) Fail("a frequency is missing");
  int key = 0;
  if (ReadNoteName(words[i], key)) return KeyFrequency(key);
  return Number(i, 1.0, 20000.0);
}

std::vector<RecipeLine> SplitRecipe(const std::string& text) {
  std::vector<RecipeLine> lines;
  RecipeLine current;
  current.number = 1;
  std::string word;
  bool inComment = false;
  auto endWord = [&] {
    if (!word.empty()) current.words.push_back(word);
    word.clear();
  };
  for (char c : text) {
    if (c == '\0') throw RecipeError("line " + std::to_string(current.number) + ": NUL byte in recipe");
    if (c == '\n') {
      endWord();
      if (!current.words.empty()) lines.push_back(current);
      current.words.clear();
      current.number++;
      inComment = false;
      continue;
    }
    if (inComment) continue;
    if (c == '#' && word.empty()) {
      endWord();
      inComment = true;
    } else if (c == ' ' || c == '\t' || c == '\r') {
      endWord();
    } else {
      word += c;
    }
  }
  endWord();
  if (!current.words.empty()) lines.push_back(current);
  return lines;
}

bool ReadNumber(const std::string& word, double& value) {
  if (word.empty()) return false;
  char* end = nullptr;
  value = std::strtod(word.c_str(), &end);
  return end == word.c_str() + word.size() && std::isfinite(value);
}

bool ReadNoteName(const std::string& word, int& midiKey) {
  static const int kSemitoneOfLetter[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (word.size() < 2 || word.size() > 3) return false;
  char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
  if (letter < 'A' || letter > 'G') return false;
  int semitone = kSemitoneOfLetter[letter - 'A'];
  size_t pos = 1;
  if (word[pos] == '#') {
    semitone++;
    pos++;
  } else if (word[pos] == 'b') {
    semitone--;
    pos++;
  }
  if (pos + 1 != word.size() || !std::isdigit(static_cast<unsigned char>(word[pos]))) return false;
  int octave = word[pos] - '0';
  midiKey = (octave + 1) * 12 + semitone;
  return true;
}

double KeyFrequency(double midiKey) { return 440.0 * std::pow(2.0, (midiKey - 69.0) / 12.0); }

}  // namespace tav::sfx
