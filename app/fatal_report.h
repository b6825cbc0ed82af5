// The words the game says to the player when a fatal error stops it: one line for
// standard error and the text of the message box, both naming the problem and the
// log file with the details. Each platform's entry shows them its own way.
#pragma once

#include <string>

namespace tav {

// "Tavrolith stopped: <problem> See <log path> for details." on one line.
std::string FatalStopLine(const std::string& message, const std::string& logPath);
// The message box's text: the problem and where log.txt is.
std::string FatalBoxText(const std::string& message, const std::string& logPath);

}  // namespace tav
