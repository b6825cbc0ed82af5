// Parsing of the simulator's press scripts.
#include "tools/sim/sim_script.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace tav {
namespace {

bool ParseNumber(const std::string& word, double* value) {
  if (word.empty()) return false;
  char* end = nullptr;
  *value = std::strtod(word.c_str(), &end);
  return end == word.c_str() + word.size() && std::isfinite(*value);
}

bool ParseCoordinate(const std::string& word, int* value) {
  double number = 0.0;
  // Screen points lie well inside this; anything beyond is a typo, not a press.
  if (!ParseNumber(word, &number) || number < -100000.0 || number > 100000.0) return false;
  *value = static_cast<int>(number);
  return true;
}

}  // namespace

bool ParseScript(const std::string& text, std::vector<ScriptedPress>* presses, std::string* error) {
  presses->clear();
  std::istringstream lines(text);
  std::string line;
  int lineNumber = 0;
  while (std::getline(lines, line)) {
    ++lineNumber;
    size_t comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    std::istringstream words(line);
    std::vector<std::string> fields;
    for (std::string word; words >> word;) fields.push_back(word);
    if (fields.empty()) continue;
    ScriptedPress press;
    bool valid = fields.size() == 4 && ParseNumber(fields[0], &press.time) && press.time >= 0.0 &&
                 (fields[1] == "L" || fields[1] == "R") && ParseCoordinate(fields[2], &press.x) &&
                 ParseCoordinate(fields[3], &press.y);
    if (!valid) {
      *error = "line " + std::to_string(lineNumber) + ": expected \"TIME L|R X Y\"";
      return false;
    }
    press.left = fields[1] == "L";
    presses->push_back(press);
  }
  std::stable_sort(presses->begin(), presses->end(),
                   [](const ScriptedPress& a, const ScriptedPress& b) { return a.time < b.time; });
  return true;
}

}  // namespace tav
