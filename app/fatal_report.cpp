// The words shown to the player when a fatal error stops the game.
#include "app/fatal_report.h"

namespace tav {

namespace {

// The log line may hold line ends of its own; the player gets it on one line.
std::string OnOneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

std::string FatalStopLine(const std::string& message, const std::string& logPath) {
  return "Tavrolith stopped: " + OnOneLine(message) + " See " + logPath + " for details.";
}

std::string FatalBoxText(const std::string& message, const std::string& logPath) {
  return "Tavrolith has to stop:\n\n" + OnOneLine(message) +
         "\n\nThe details are in the log file:\n" + logPath;
}

}  // namespace tav
