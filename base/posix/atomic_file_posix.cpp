// Whole-file atomic replacement on POSIX: temporary file, fsync, rename, fsync of the folder.
#include "base/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "base/log.h"

namespace tav {

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t result = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (result < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<size_t>(result);
  }
  return true;
}

// Makes the rename itself durable. Some file systems refuse fsync on folders;
// the file is already replaced by then, so a failure here is not an error.
void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A save cut off by a crash or a kill leaves its temporary file behind, and each
// such moment would add one more. Once a save has gone through, the temporaries of
// the same file older than a minute are leftovers (a save takes milliseconds, so a
// younger one may belong to a second copy of the game saving right now).
void RemoveStaleTemporaries(const std::string& path) {
  const std::string folder = FolderOf(path);
  const size_t slash = path.find_last_of('/');
  const std::string prefix =
      (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-";
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return;
  const time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    const std::string stale = folder + "/" + name;
    struct stat info;
    if (::lstat(stale.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        now - info.st_mtime > 60) {
      ::unlink(stale.c_str());
    }
  }
  ::closedir(listing);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
  std::string temporary = path + ".tmp-XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    LogLine("Cannot create a temporary file for %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  // mkstemp creates the file readable only by its owner; give it the usual
  // permissions a plainly created file would have.
  ::fchmod(fd, 0644);
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(temporary.c_str());
    LogLine("Cannot write %s: %s\n", path.c_str(), std::strerror(error));
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = errno;
    ::unlink(temporary.c_str());
    LogLine("Cannot replace %s: %s\n", path.c_str(), std::strerror(error));
    return false;
  }
  SyncFolder(FolderOf(path));
  RemoveStaleTemporaries(path);
  return true;
}

}  // namespace tav
