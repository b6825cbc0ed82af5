// The high-score dialog ("HiscoreWindow"): keeps both tables, shows one page at
// a time over the menu or the game, takes the player's name into a newly earned
// row, and keeps Data\Hiscore.dat up to date. The file is written whenever the
// tables change: when a new score enters ("NewClassicUser %d"/"NewTimeUser %d"),
// when the name entry ends (Enter, or "EndInput" from the OK button), and on
// "SaveData". Each write re-reads the file first and keeps the rows another
// writer put there, then replaces the whole file atomically.
//
// A new score's name entry says what it is: its row is highlighted, a line asks
// for the name, and the last name entered is filled in and selected, so Enter
// keeps it and typing replaces it. An entry that ends empty takes the last name,
// or "Player" when there never was one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gui/edit_field.h"
#include "gui/window.h"
#include "render/sprite.h"
#include "screens/hiscore_table.h"

namespace tav {

class HiscoreWindow : public Window {
 public:
  explicit HiscoreWindow(std::string name);
  ~HiscoreWindow() override;

  // "NewTimeUser %d" / "NewClassicUser %d" (the word anywhere in the command):
  // enter the score and start the name entry in the row it took, show that
  // table; "EndInput": end any name entry; "SaveData"/"LoadData": write/read the
  // file; "HiscoreBegin"/"HiscoreEnd": fade in/out (a fade-out ends with
  // "EndBlend"); "Inc"/"Dec": show the other table. Then the base.
  void Command(std::string text) override;
  void Update(NotificationQueue& queue) override;
  void Draw() override {}
  void DrawOverlay() override;
  // Typed characters go to the name fields of the shown table; an Enter that
  // ends an entry saves the tables.
  void OnKeyChar(uint32_t code, uint32_t keyData) override;
  // While a name is being typed, Enter and Space belong to the name (they arrive as
  // characters too); the controller's A still clicks the focused button.
  bool OnKey(const KeyPress& press) override;
  bool TakesKeys() const override { return IsEnabled() && blend_ == 0.0f; }

  // Both tables as they stand now, the names taken from the name fields.
  HiscoreTable Table() const;
  int Page() const { return page_; }
  float Blend() const { return blend_; }
  const EditField& NameField(int table, int row) const { return *names_[table][row]; }
  // The row taking a name now in table Page(), or -1.
  int EntryRow() const { return entryTable_ == page_ ? entryRow_ : -1; }
  const std::string& LastName() const { return scores_.LastName(); }
  // What the line over a running entry says.
  static constexpr const char* kEntryLine = "New high score: type your name";
  // The name an entry left empty gets when no name was ever entered.
  static constexpr const char* kDefaultName = "Player";
  // The native path of the file; PlayerFilePath("Data\\Hiscore.dat") unless set.
  void SetFilePath(std::string path) { filePath_ = std::move(path); }
  std::string FilePath() const;

 private:
  void NewEntry(int table, const std::string& command, const char* word);
  void ShowTable(const HiscoreTable& table);
  void Save();
  void Load();
  // Ends the running name entry: an empty name becomes the last name (or
  // "Player"), which is remembered as the last name. Then saves.
  void EndEntry();
  // Starts the name entry in a row: the last name filled in and selected.
  void BeginEntry(int table, int row, const std::string& name, bool selected);
  bool EntryRunning() const;
  std::string FallbackName() const;

  HiscoreTable scores_;  // the scores and the last name; the names live in the fields
  // The file as this dialog last read or wrote it, to tell what others added.
  HiscoreTable onDiskBase_;
  int entryTable_ = -1;
  int entryRow_ = -1;
  // The filled-in last name is selected: the next letter replaces it.
  bool nameSelected_ = false;
  Sprite highlight_;
  std::unique_ptr<EditField> names_[HiscoreTable::kTableCount][HiscoreTable::kRowCount];
  int page_ = 0;
  float blend_ = 0.0f;
  std::string filePath_;
};

}  // namespace tav
