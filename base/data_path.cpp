// Game file names ("Data\Levels.ini") to native paths in the game's two homes.
#include "base/data_path.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/file_system.h"

namespace tav {
namespace {

GameHomes g_homes;

bool IsDirectory(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(FileSystemPath(path), error);
}

// A folder holds the game when its Data/ has the level file; a Data/ folder of
// some other program (in a home folder, say) does not count.
bool HoldsGameData(const std::string& directory) {
  std::error_code error;
  return !directory.empty() && IsDirectory(directory + "/Data") &&
         std::filesystem::exists(FileSystemPath(directory + "/Data/Levels.ini"), error);
}

// True when a file can really be made in `directory`. Permission bits do not say
// so on Windows: access() ignores a folder's access rules, so a game unpacked into
// Program Files would believe it could keep its files there. A file is made and
// removed instead, which asks the file system itself.
bool CanCreateFilesIn(const std::string& directory) {
  const std::string probe = directory + "/.tavrolith-write-test";
  std::FILE* file = OpenFile(probe, "wb");
  if (file == nullptr) return false;
  const bool closed = std::fclose(file) == 0;
  std::error_code error;
  std::filesystem::remove(FileSystemPath(probe), error);
  return closed;
}

// True when the player's files can be written in this folder and its Data/.
bool IsWritableGameFolder(const std::string& directory) {
  return CanCreateFilesIn(directory) && CanCreateFilesIn(directory + "/Data");
}

// Creates every missing folder of `path` (private to the player); an error text on
// failure. A part that cannot be made is no failure while the whole path ends up a
// folder: the root, a Windows drive ("C:") or a network share's server name cannot
// be made but are there.
std::string MakePrivateDirectories(const std::string& path) {
  std::string lastError;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("/\\", start);
    if (end == std::string::npos) end = path.size();
    const std::string partial = path.substr(0, end);
    start = end + 1;
    if (partial.empty() || IsDirectory(partial)) continue;
    std::string error;
    if (!MakeDirectory(partial, &error)) lastError = error;
  }
  if (!IsDirectory(path)) return lastError.empty() ? path + " is not a folder" : lastError;
  if (!CanCreateFilesIn(path)) return "cannot write in " + path;
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
                        const std::string& xdgDataHome, const std::string& home,
                        const std::string& roamingAppData) {
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
      const std::filesystem::path resolved =
          std::filesystem::canonical(FileSystemPath(installed), error);
      homes.dataDirectory = error ? installed : resolved.string();
    } else {
      homes.dataDirectory = startDirectory;
    }
  }
  const bool installedTree = homes.dataDirectory != startDirectory &&
                             homes.dataDirectory != executableDirectory;
  // With no game data anywhere the game is about to stop for the missing files: its
  // log stays in the folder it was started from, where the player looks for it.
  const bool noGameData =
      !HoldsGameData(homes.dataDirectory) && CanCreateFilesIn(homes.dataDirectory);
  if (noGameData || (!installedTree && IsWritableGameFolder(homes.dataDirectory))) {
    homes.playerDirectory = homes.dataDirectory;
    return homes;
  }

  homes.playerFilesBesideData = false;
  if (!roamingAppData.empty()) {
    homes.playerDirectory = roamingAppData + "\\Tavrolith";
    homes.problem = MakePrivateDirectories(homes.playerDirectory);
    return homes;
  }
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
  return FindGameHomes(start, executableDirectory, xdg ? xdg : "", home ? home : "",
                       RoamingAppDataDirectory());
}

void SetGameHomes(const GameHomes& homes) { g_homes = homes; }

const GameHomes& CurrentGameHomes() { return g_homes; }

}  // namespace tav
