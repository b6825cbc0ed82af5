// Turns the game's own file names ("Data\Levels.ini", "log.txt") into native paths.
// The game has two homes: the folder that holds its read-only Data/ tree, and the
// folder of the player's own files (log.txt, Data\Hiscore.dat, Data\Config.ini,
// Data\Last.dat and the window-mode file). A game run from its own writable folder
// keeps both in that folder; an installed game, or one in a folder the player
// cannot write (Program Files), keeps the player's files in the player's own data
// folder: XDG's on Linux, %APPDATA%\Tavrolith on Windows. No other code builds
// paths by hand. Paths are UTF-8.
#pragma once

#include <string>

namespace tav {

// Base directory + separator + name, with '\' and '/' in name turned into the
// native separator. For the game's read-only data.
std::string DataPath(const std::string& name);

// The native path of one of the player's files, named as the game names it
// ("log.txt", "Data\Hiscore.dat"). Beside the game data it is the same as
// DataPath; in the player's own folder the name's last part is used
// (<player folder>/Hiscore.dat).
std::string PlayerFilePath(const std::string& name);

// The same for a name that is not under the base directory (converted only).
std::string NativePath(const std::string& name);

// Where the two homes are, as worked out at start-up.
struct GameHomes {
  std::string dataDirectory;    // holds Data/; the base of every DataPath
  std::string playerDirectory;  // holds log.txt and the player's files
  bool playerFilesBesideData = true;
  // Why the player's folder could not be made ready (empty when it is ready); the
  // game still runs, it only cannot keep its files.
  std::string problem;
};

// Finds the game data and decides where the player's files go.
//  - The data: the start directory when it holds Data/Levels.ini (a game started
//    from its own folder), else the executable's folder when it does, else the
//    installed tree <executable folder>/../share/games/tavrolith. With none of
//    them the start directory is used, so that the missing data is reported by
//    whatever reads it.
//  - The player's files stay beside Data/ when it was found in the start or
//    executable folder and a file can really be made in it and its Data/. An
//    installed tree belongs to the package manager, so with it (or a read-only
//    folder) they go to <roamingAppData>\Tavrolith when that is given (Windows),
//    else $XDG_DATA_HOME/tavrolith, or $HOME/.local/share/tavrolith when
//    XDG_DATA_HOME is unset or not absolute; the folder is created with mode 0700.
// `xdgDataHome` and `home` are the environment's values (empty when unset);
// `roamingAppData` is Windows' per-user application-data folder (empty elsewhere).
GameHomes FindGameHomes(const std::string& startDirectory,
                        const std::string& executableDirectory,
                        const std::string& xdgDataHome, const std::string& home,
                        const std::string& roamingAppData = std::string());

// FindGameHomes for this process: the current directory, the folder of the running
// executable and the environment.
GameHomes FindProcessGameHomes();

// Installs the two homes that DataPath and PlayerFilePath use. LogStart does this;
// before it, paths stay relative to the current directory.
void SetGameHomes(const GameHomes& homes);
const GameHomes& CurrentGameHomes();

}  // namespace tav
