// The press scripts of the simulator: lines "TIME L X Y" or "TIME R X Y" (seconds
// from the start, left or right press, game coordinates with y up); "#" starts a
// comment.
#pragma once

#include <string>
#include <vector>

namespace tav {

struct ScriptedPress {
  double time = 0.0;
  bool left = true;
  int x = 0;
  int y = 0;
};

// Parses a script text. False, with `error` naming the line, on a malformed line.
// The presses come back ordered by time (presses at the same time keep their order).
bool ParseScript(const std::string& text, std::vector<ScriptedPress>* presses, std::string* error);

}  // namespace tav
