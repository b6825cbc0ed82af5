// The log file, fatal error reports and the quit request.
#include "base/log.h"

#include <cstdarg>
#include <cstdio>

#include "base/data_path.h"
#include "base/file_system.h"

namespace tav {
namespace {

// One formatted text: at most 1023 characters plus the terminating NUL.
constexpr size_t kLogBufferSize = 1024;
constexpr size_t kMaxBaseDirectory = 1023;

bool g_errorsRaise = true;
std::string g_fatalMessage;

std::string DefaultErrorName(int64_t code) {
  char text[64];
  std::snprintf(text, sizeof(text), "Unrecognized error: 0x%08x",
                static_cast<unsigned>(static_cast<uint32_t>(code)));
  return text;
}

ErrorNameFunction g_errorName = DefaultErrorName;

void AppendToLog(const char* text) {
  std::FILE* file = OpenFile(PlayerFilePath("log.txt"), "ab");
  if (!file) return;  // the log never fails loudly: the text is dropped
  std::fputs(text, file);
  std::fclose(file);
}

void FormatInto(char (&buffer)[kLogBufferSize], const char* format, va_list args) {
  // vsnprintf cuts the text at the buffer size and always terminates it.
  if (std::vsnprintf(buffer, sizeof(buffer), format, args) < 0) buffer[0] = '\0';
}

void RememberFatal(const char* message) {
  if (g_fatalMessage.empty()) g_fatalMessage = message[0] != '\0' ? message : "fatal error";
}

void RaiseFatalIfArmed() {
  if (g_errorsRaise) {
    g_errorsRaise = false;
    throw FatalError{};
  }
}

}  // namespace

void LogStart(const std::string& baseDirectory) {
  GameHomes homes;
  if (!baseDirectory.empty()) {
    homes.dataDirectory = baseDirectory;
  } else {
    homes = FindProcessGameHomes();
  }
  for (std::string* folder : {&homes.dataDirectory, &homes.playerDirectory}) {
    if (folder->size() > kMaxBaseDirectory) folder->resize(kMaxBaseDirectory);
    while (folder->size() > 1 && (folder->back() == '/' || folder->back() == '\\')) {
      folder->pop_back();
    }
  }
  if (homes.playerFilesBesideData) homes.playerDirectory = homes.dataDirectory;
  SetGameHomes(homes);
  g_fatalMessage.clear();
  if (std::FILE* file = OpenFile(PlayerFilePath("log.txt"), "wb")) std::fclose(file);
  LogLine("log start\n");
  if (!homes.playerFilesBesideData) {
    LogLine("Game data in %s, player files in %s\n", homes.dataDirectory.c_str(),
            homes.playerDirectory.c_str());
  }
  if (!homes.problem.empty()) {
    // The log itself may be what cannot be written, so the terminal hears it too.
    LogLine("WARNING: the player's files cannot be kept: %s\n", homes.problem.c_str());
    std::fprintf(stderr, "tavrolith: the player's files cannot be kept: %s\n",
                 homes.problem.c_str());
  }
}

const std::string& BaseDirectory() {
  return CurrentGameHomes().dataDirectory;
}

void LogLine(const char* format, ...) {
  char buffer[kLogBufferSize];
  va_list args;
  va_start(args, format);
  FormatInto(buffer, format, args);
  va_end(args);
  AppendToLog(buffer);
}

void ReportFatal(const char* format, ...) {
  char message[kLogBufferSize];
  va_list args;
  va_start(args, format);
  FormatInto(message, format, args);
  va_end(args);
  LogLine("ERROR: %s", message);
  LogLine("\n");
  RememberFatal(message);
  RaiseFatalIfArmed();
}

void ReportFatalWithCode(int64_t code, const char* format, ...) {
  char message[kLogBufferSize];
  va_list args;
  va_start(args, format);
  FormatInto(message, format, args);
  va_end(args);
  std::string name = g_errorName(code);
  // The message and the code's name go in separate texts so that a message cut
  // at the buffer size never takes the name with it.
  LogLine("ERROR: %s", message);
  LogLine("\n%s\n", name.c_str());
  RememberFatal(message);
  RaiseFatalIfArmed();
}

const std::string& FatalMessage() {
  return g_fatalMessage;
}

void RequestQuit() {
  if (g_errorsRaise) {
    g_errorsRaise = false;
    throw QuitRequest{};
  }
}

bool ErrorsRaise() {
  return g_errorsRaise;
}
void SetErrorsRaise(bool raise) {
  // Re-arming means the entry has handled the report (a back-end that failed to
  // start and was replaced by the next), so it no longer ends the run as a failure.
  if (raise) g_fatalMessage.clear();
  g_errorsRaise = raise;
}

void SetErrorNameFunction(ErrorNameFunction function) {
  g_errorName = function ? function : DefaultErrorName;
}

}  // namespace tav
