// Section and key lookup in the game's text configuration files. Every lookup
// rescans the file from the top; nothing is cached.
#include "base/ini_file.h"

#include <cctype>
#include <cstring>

#include "base/case_compare.h"
#include "base/data_path.h"
#include "base/file_system.h"

namespace tav {
namespace {

bool IsWordSpace(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The first whitespace-delimited word of text (spaces, tabs and line ends all
// separate words here); empty if the text has none.
std::string FirstWord(const char* text) {
  while (*text && IsWordSpace(*text)) ++text;
  const char* end = text;
  while (*end && !IsWordSpace(*end)) ++end;
  return std::string(text, end);
}

// The value of a key line: after the first word, without the spaces around it.
// Only the space character counts here; line ends have become spaces before.
std::string ValueOf(char* line) {
  for (char* c = line; *c; ++c) {
    if (*c == '\r' || *c == '\n') *c = ' ';
  }
  const char* start = line;
  while (*start == ' ') ++start;
  while (*start && *start != ' ') ++start;
  while (*start == ' ') ++start;
  const char* end = start + std::strlen(start);
  while (end > start && end[-1] == ' ') --end;
  return std::string(start, end);
}

}  // namespace

IniFile::~IniFile() {
  Close();
}

bool IniFile::Open(const std::string& name) {
  return OpenPath(DataPath(name));
}

bool IniFile::OpenPath(const std::string& path) {
  Close();
  file_ = OpenFile(path, "rb");
  return file_ != nullptr;
}

void IniFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

bool IniFile::Get(const std::string& section, const std::string& key, std::string* value) {
  if (!file_) return false;
  std::rewind(file_);
  std::string currentSection;
  // A longer line is read in pieces of kMaxLine characters, each taken as a line.
  char line[kMaxLine + 1];
  while (std::fgets(line, sizeof(line), file_)) {
    char* text = line;
    while (*text == ' ') ++text;
    if (*text == '[') {
      for (char* c = text; *c; ++c) {
        if (*c == '[' || *c == ']') *c = ' ';
      }
      currentSection = FirstWord(text);
      continue;
    }
    if (char* equals = std::strchr(line, '=')) *equals = ' ';
    if (!EqualIgnoringCase(currentSection, section)) continue;
    std::string lineKey = FirstWord(line);
    if (lineKey.empty() || !EqualIgnoringCase(lineKey, key)) continue;
    *value = ValueOf(line);
    return true;
  }
  return false;
}

}  // namespace tav
