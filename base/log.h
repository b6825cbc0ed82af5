// The log file (log.txt among the player's files), fatal error reports and the
// quit request. Both FatalError and QuitRequest unwind to the main loop, which
// tells them from unexpected exceptions by the errors-raise flag.
#pragma once

#include <cstdint>
#include <string>

namespace tav {

// Raised by ReportFatal / ReportFatalWithCode while the errors-raise flag is set.
struct FatalError {};
// Raised by RequestQuit while the errors-raise flag is set.
struct QuitRequest {};

// Records the game's two homes (FindProcessGameHomes, or both in `baseDirectory`
// when given, for tests), truncates log.txt in the player's folder and writes
// "log start\n". A player's folder that cannot be made ready is reported once.
void LogStart(const std::string& baseDirectory = std::string());

// The folder that holds the game data, recorded by LogStart, without a trailing
// separator.
const std::string& BaseDirectory();

// Appends the formatted text (at most 1023 characters) to log.txt, unchanged.
void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Logs "ERROR: <message>" and a line end; raises FatalError if the errors-raise
// flag is set (clearing it). Returns normally only when the flag was clear.
void ReportFatal(const char* format, ...) __attribute__((format(printf, 1, 2)));
// As ReportFatal, with the symbolic name of a system error code on a second line.
void ReportFatalWithCode(int64_t code, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// The message of the first fatal report since LogStart (or since the errors-raise
// flag was last set), raised or only logged; empty while there was none. The entry turns it into the exit status and tells the player.
const std::string& FatalMessage();

// Raises QuitRequest if the errors-raise flag is set (clearing it).
void RequestQuit();

bool ErrorsRaise();
void SetErrorsRaise(bool raise);

// Turns a system error code into its name. The Direct3D back-end installs one
// that knows its codes; the default names every code "Unrecognized error: 0x%08x".
using ErrorNameFunction = std::string (*)(int64_t code);
void SetErrorNameFunction(ErrorNameFunction function);  // null restores the default

}  // namespace tav
