// The high-score dialog ("HiscoreWindow"): keeps both tables, shows one page at
// a time over the menu or the game, takes the player's name into a newly earned
// row, and keeps Data\Hiscore.dat up to date. The file is written whenever the
// tables change: when a new score enters ("NewClassicUser %d"/"NewTimeUser %d"),
// when the name entry ends (Enter, or "EndInput" from the OK button), and on
// "SaveData". Each write replaces the whole file atomically.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gui/edit_field.h"
#include "gui/window.h"
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
  // The native path of the file; PlayerFilePath("Data\\Hiscore.dat") unless set.
  void SetFilePath(std::string path) { filePath_ = std::move(path); }
  std::string FilePath() const;

 private:
  void NewEntry(int table, const std::string& command, const char* word);
  void ShowTable(const HiscoreTable& table);
  void Save();
  void Load();
  bool AnyNameEntryRunning() const;

  HiscoreTable scores_;  // the scores; the names live in the fields
  std::unique_ptr<EditField> names_[HiscoreTable::kTableCount][HiscoreTable::kRowCount];
  int page_ = 0;
  float blend_ = 0.0f;
  std::string filePath_;
};

}  // namespace tav
