// pkgtool: builds and inspects the game's package files and builds picture lists.
//   pkgtool pack OUT.pkg FILE...
//   pkgtool list PKG
//   pkgtool cat PKG NAME
//   pkgtool spt OUT.spt [--duration S] [--bbox X1,Y1,X2,Y2] [--mode static|dynamic]
//               [--collision true|false] --action NAME FRAME.tga... [--action ...]...
// Every failure prints one line to standard error and exits non-zero.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/package_file_system.h"
#include "tools/pkgtool/package_writer.h"
#include "tools/pkgtool/picture_list_writer.h"

namespace {

using tav::PackageFileSystem;

constexpr int kFailure = 1;
constexpr int kUsageError = 2;

int Fail(const std::string& reason, int status = kFailure) {
  std::fprintf(stderr, "pkgtool: %s\n", reason.c_str());
  return status;
}

int Usage() {
  return Fail(
      "usage: pkgtool pack OUT.pkg FILE... | list PKG | cat PKG NAME | spt OUT.spt [--duration S] "
      "[--bbox X1,Y1,X2,Y2] [--mode static|dynamic] [--collision true|false] --action NAME "
      "FRAME.tga... [--action NAME FRAME.tga...]...",
      kUsageError);
}

std::string Describe(PackageFileSystem::ReadResult result, const std::string& path) {
  switch (result) {
    case PackageFileSystem::ReadResult::kCannotOpen:
      return "cannot open '" + path + "'";
    case PackageFileSystem::ReadResult::kBadMagic:
      return "'" + path + "' is not a package file";
    case PackageFileSystem::ReadResult::kCorrupt:
      return "'" + path +
             "' is damaged (a directory entry is cut short, unterminated or past the end)";
    case PackageFileSystem::ReadResult::kOk:
      break;
  }
  return "ok";
}

int Pack(const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage();
  std::vector<std::string> files(args.begin() + 1, args.end());
  std::string error;
  if (!tav::WritePackage(args[0], files, &error)) return Fail(error);
  return 0;
}

int List(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage();
  std::vector<PackageFileSystem::Entry> entries;
  PackageFileSystem::ReadResult result = PackageFileSystem::ReadDirectory(args[0], &entries);
  if (result != PackageFileSystem::ReadResult::kOk) return Fail(Describe(result, args[0]));
  for (const PackageFileSystem::Entry& entry : entries) {
    std::printf("%s\t%u\t%u\n", entry.name.c_str(), entry.size, entry.offset);
  }
  return 0;
}

int Cat(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage();
  std::vector<uint8_t> bytes;
  bool found = false;
  PackageFileSystem::ReadResult result = PackageFileSystem::Load(args[0], args[1], &bytes, &found);
  if (result != PackageFileSystem::ReadResult::kOk) return Fail(Describe(result, args[0]));
  if (!found) return Fail("'" + args[1] + "' is not in '" + args[0] + "'");
  bool written =
      bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
  if (!written || std::fflush(stdout) != 0) {
    return Fail("cannot write to standard output");
  }
  return 0;
}

bool ParseBoundingBox(const std::string& text, int32_t corners[4]) {
  long values[4];
  const char* cursor = text.c_str();
  for (int i = 0; i < 4; ++i) {
    char* end = nullptr;
    values[i] = std::strtol(cursor, &end, 10);
    if (end == cursor || values[i] < INT32_MIN || values[i] > INT32_MAX) return false;
    cursor = end;
    if (i < 3) {
      if (*cursor != ',') return false;
      ++cursor;
    }
  }
  if (*cursor != '\0') return false;
  for (int i = 0; i < 4; ++i) corners[i] = static_cast<int32_t>(values[i]);
  return true;
}

int PictureList(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  tav::PictureListSettings settings;
  std::vector<tav::PictureListAction> actions;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool isOption = arg.rfind("--", 0) == 0;
    if (isOption && i + 1 >= args.size()) return Fail(arg + " needs a value", kUsageError);
    if (arg == "--duration") {
      const std::string& text = args[++i];
      char* end = nullptr;
      float duration = std::strtof(text.c_str(), &end);
      if (text.empty() || *end != '\0' || !std::isfinite(duration) || duration < 0.0f) {
        return Fail("--duration needs a number of seconds, not '" + text + "'", kUsageError);
      }
      settings.frameDuration = duration;
    } else if (arg == "--bbox") {
      if (!ParseBoundingBox(args[++i], settings.boundingBox)) {
        return Fail("--bbox needs X1,Y1,X2,Y2, not '" + args[i] + "'", kUsageError);
      }
    } else if (arg == "--mode") {
      const std::string& mode = args[++i];
      if (mode != "static" && mode != "dynamic") {
        return Fail("--mode needs static or dynamic, not '" + mode + "'", kUsageError);
      }
      settings.mode = mode == "dynamic" ? 1 : 0;
    } else if (arg == "--collision") {
      const std::string& collision = args[++i];
      if (collision != "true" && collision != "false") {
        return Fail("--collision needs true or false, not '" + collision + "'", kUsageError);
      }
      settings.collision = collision == "true" ? 1 : 0;
    } else if (arg == "--action") {
      actions.push_back({args[++i], {}});
    } else if (isOption) {
      return Fail("unknown option '" + arg + "'", kUsageError);
    } else if (actions.empty()) {
      return Fail("frame '" + arg + "' comes before any --action", kUsageError);
    } else {
      actions.back().framePaths.push_back(arg);
    }
  }
  std::string error;
  if (!tav::WritePictureList(args[0], settings, actions, &error)) return Fail(error);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "pack") return Pack(args);
  if (command == "list") return List(args);
  if (command == "cat") return Cat(args);
  if (command == "spt") return PictureList(args);
  return Fail("unknown command '" + command + "'", kUsageError);
}
