// Game file names ("Data\Levels.ini") to native paths in the game's two homes.
#include "base/data_path.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <direct.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/file_system.h"

namespace tav {
namespace {

GameHomes g_homes;

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A folder holds the game when its Data/ has the level file; a Data/ folder of
// some other program (in a home folder, say) does not count.
bool HoldsGameData(const std::string& directory) {
  struct stat info;
  return !directory.empty() && IsDirectory(directory + "/Data") &&
         stat((directory + "/Data/Levels.ini").c_str(), &info) == 0;
}

// True when the player's files can be written in this folder and its Data/.
bool IsWritableGameFolder(const std::string& directory) {
  return access(directory.c_str(), W_OK) == 0 &&
         access((directory + "/Data").c_str(), W_OK) == 0;
}

int MakeDirectory(const std::string& path) {
#ifdef _WIN32
  return _mkdir(path.c_str());  // Windows has no modes; the profile is private already
#else
  return mkdir(path.c_str(), 0700);
#endif
}

// The folder of the running executable, or empty when it cannot be told.
std::string ExecutableDirectory() {
  std::string path;
#ifdef _WIN32
  if (_pgmptr != nullptr) path = _pgmptr;
#else
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (length > 0) path.assign(buffer, static_cast<size_t>(length));
#endif
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return std::string();
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates every missing folder of `path` with mode 0700; an error text on failure.
std::string MakePrivateDirectories(const std::string& path) {
  std::string partial;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    partial = path.substr(0, end);
    start = end + 1;
    if (partial.empty()) continue;  // the root of an absolute path
    if (MakeDirectory(partial) != 0 && errno != EEXIST) {
      return "cannot create " + partial + ": " + std::strerror(errno);
    }
  }
  if (!IsDirectory(path)) return path + " is not a folder";
  if (access(path.c_str(), W_OK | X_OK) != 0) {
    return "cannot write in " + path + ": " + std::strerror(errno);
  }
  return std::string();
}

std::string LastPart(const std::string& name) {
  const size_t slash = name.find_last_of("/\\");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string Join(const std::string& directory, const std::string& name) {
  // Before LogStart there is no recorded home: the name stays relative to the
  // current directory, which is what the home would have been anyway.
  if (directory.empty()) return NativePath(name);
  return directory + "/" + NativePath(name);
}

}  // namespace

std::string NativePath(const std::string& name) {
  std::string path = name;
  for (char& c : path) {
    if (c == '\\' || c == '/') c = '/';
  }
  return path;
}

std::string DataPath(const std::string& name) { return Join(g_homes.dataDirectory, name); }

std::string PlayerFilePath(const std::string& name) {
  if (g_homes.playerFilesBesideData) return Join(g_homes.dataDirectory, name);
  return Join(g_homes.playerDirectory, LastPart(name));
}

GameHomes FindGameHomes(const std::string& startDirectory,
                        const std::string& executableDirectory,
                        const std::string& xdgDataHome, const std::string& home) {
  GameHomes homes;
  for (const std::string& folder : {startDirectory, executableDirectory}) {
    if (HoldsGameData(folder)) {
      homes.dataDirectory = folder;
      break;
    }
  }
  if (homes.dataDirectory.empty()) {
    const std::string installed = executableDirectory + "/../share/games/tavrolith";
    if (!executableDirectory.empty() && HoldsGameData(installed)) {
      std::error_code error;
      const std::filesystem::path resolved = std::filesystem::canonical(installed, error);
      homes.dataDirectory = error ? installed : resolved.string();
    } else {
      homes.dataDirectory = startDirectory;
    }
  }
  const bool installedTree = homes.dataDirectory != startDirectory &&
                             homes.dataDirectory != executableDirectory;
  // With no game data anywhere the game is about to stop for the missing files: its
  // log stays in the folder it was started from, where the player looks for it.
  const bool noGameData = !HoldsGameData(homes.dataDirectory) &&
                          access(homes.dataDirectory.c_str(), W_OK) == 0;
  if (noGameData || (!installedTree && IsWritableGameFolder(homes.dataDirectory))) {
    homes.playerDirectory = homes.dataDirectory;
    return homes;
  }

  homes.playerFilesBesideData = false;
  std::string dataHome;
  if (!xdgDataHome.empty() && xdgDataHome[0] == '/') {
    dataHome = xdgDataHome;
  } else if (!home.empty() && home[0] == '/') {
    dataHome = home + "/.local/share";
  } else {
    homes.problem = "neither XDG_DATA_HOME nor HOME names a folder";
    return homes;
  }
  homes.playerDirectory = dataHome + "/tavrolith";
  homes.problem = MakePrivateDirectories(homes.playerDirectory);
  return homes;
}

GameHomes FindProcessGameHomes() {
  const std::string start = CurrentDirectory();
  const std::string executableDirectory = ExecutableDirectory();
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  return FindGameHomes(start, executableDirectory, xdg ? xdg : "", home ? home : "");
}

void SetGameHomes(const GameHomes& homes) { g_homes = homes; }

const GameHomes& CurrentGameHomes() { return g_homes; }

}  // namespace tav
