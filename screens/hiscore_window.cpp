// The high-score dialog: entries, name typing, saving and its fading page.
#include "screens/hiscore_window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/data_path.h"
#include "base/log.h"
#include "base/utf8.h"
#include "gui/frame_delta.h"
#include "render/bitmap_font.h"
#include "render/renderer.h"
#include "screens/screen_parts.h"

namespace tav {

namespace {

constexpr float kFadeRate = 2.0f;
// The baseline of the line over a running name entry, below the OK button.
constexpr float kEntryLineY = 100.0f;

float RowBaseline(int row) {
  return 452.0f - 30.0f * static_cast<float>(row);
}

// The field only takes text by typing, so a name is typed into it letter by
// letter: letters the field would read as keys (Backspace, Enter) or that are
// control characters are left out, and the text stops where the field is full.
void TypeInto(EditField& field, const std::string& text) {
  for (size_t pos = 0; pos < text.size();) {
    const uint32_t letter = NextUtf8Letter(text, &pos);
    if (letter < EditField::kFirstPrintable) continue;
    const size_t before = field.Text().size();
    field.OnKeyChar(letter, 0);
    if (field.Text().size() == before) break;
  }
}

// Gives an idle field a text. What the typing posted is thrown away.
void SetFieldText(EditField& field, const std::string& text) {
  field.OnCommand("BeginEdit");
  TypeInto(field, text);
  field.OnCommand("EndEdit");
  NotificationQueue discarded;
  field.Control::Update(discarded);
}

}  // namespace

HiscoreWindow::HiscoreWindow(std::string name) : Window(std::move(name)) {
  AddPicture(*this, "Hi1", "hiscore_window.tga", 144, 33);
  AddRectangularButton(*this, "ButtonOK", "ok", 336, 125, 360, 140, 440, 174);
  AddRectangularButton(*this, "ButtonInc", "left", 314, 483, 314, 483, 330, 515);
  AddRectangularButton(*this, "ButtonDec", "right", 470, 483, 470, 483, 486, 515);
  for (int table = 0; table < HiscoreTable::kTableCount; ++table) {
    for (int row = 0; row < HiscoreTable::kRowCount; ++row) {
      auto field = std::make_unique<EditField>("MenuEdit" + std::to_string(row + 1));
      field->SetRect(210, RowBaseline(row), 540, RowBaseline(row) + 20);
      field->OnCommand("EndEdit");
      names_[table][row] = std::move(field);
    }
  }
  highlight_.SetTexture("white.tga");
  SetBackControl("ButtonOK");
  AddSelector("ButtonInc", "ButtonDec");
}

bool HiscoreWindow::OnKey(const KeyPress& press) {
  const bool typed = press.key == InputKey::kEnter || press.key == InputKey::kSpace;
  if (typed && EntryRunning()) return IsEnabled();
  return Window::OnKey(press);
}

HiscoreWindow::~HiscoreWindow() = default;

std::string HiscoreWindow::FilePath() const {
  return filePath_.empty() ? PlayerFilePath("Data\\Hiscore.dat") : filePath_;
}

HiscoreTable HiscoreWindow::Table() const {
  HiscoreTable table = scores_;
  for (int t = 0; t < HiscoreTable::kTableCount; ++t) {
    for (int row = 0; row < HiscoreTable::kRowCount; ++row) {
      table.At(t, row).name = names_[t][row]->Text();
    }
  }
  return table;
}

void HiscoreWindow::ShowTable(const HiscoreTable& table) {
  scores_ = table;
  for (int t = 0; t < HiscoreTable::kTableCount; ++t) {
    for (int row = 0; row < HiscoreTable::kRowCount; ++row) {
      if (names_[t][row]->Text() != table.At(t, row).name || names_[t][row]->IsEditing()) {
        SetFieldText(*names_[t][row], table.At(t, row).name);
      }
    }
  }
}

bool HiscoreWindow::EntryRunning() const {
  return entryRow_ >= 0 && names_[entryTable_][entryRow_]->IsEditing();
}

std::string HiscoreWindow::FallbackName() const {
  return scores_.LastName().empty() ? std::string(kDefaultName) : scores_.LastName();
}

void HiscoreWindow::BeginEntry(int table, int row, const std::string& name, bool selected) {
  EditField& field = *names_[table][row];
  SetFieldText(field, name);
  // Typed in while editing, so the field keeps only what fits it.
  const std::string shown = field.Text();
  field.OnCommand("BeginEdit");
  TypeInto(field, shown);
  NotificationQueue discarded;
  field.Control::Update(discarded);
  entryTable_ = table;
  entryRow_ = row;
  nameSelected_ = selected && !field.Text().empty();
}

void HiscoreWindow::Save() {
  HiscoreTable table = Table();
  // A name still being typed, or left empty, is saved as the name it would get.
  if (entryRow_ >= 0 && table.At(entryTable_, entryRow_).name.empty()) {
    table.At(entryTable_, entryRow_).name = FallbackName();
  }
  // Keep whatever another writer put into the file since it was read here.
  HiscoreTable onDisk;
  if (onDisk.Load(FilePath())) {
    int origin[HiscoreTable::kTableCount][HiscoreTable::kRowCount];
    const std::string entryName = Table().At(std::max(entryTable_, 0), std::max(entryRow_, 0)).name;
    table.MergeFrom(onDisk, onDiskBase_, origin);
    if (table.Serialize() != Table().Serialize()) {
      // Rows moved: show the merged tables and follow the running entry to its row.
      const int oldTable = entryTable_, oldRow = entryRow_;
      const bool selected = nameSelected_;
      entryTable_ = entryRow_ = -1;
      ShowTable(table);
      for (int row = 0; oldRow >= 0 && row < HiscoreTable::kRowCount; ++row) {
        if (origin[oldTable][row] == oldRow) BeginEntry(oldTable, row, entryName, selected);
      }
    }
  }
  if (table.Save(FilePath())) {
    onDiskBase_ = table;
  } else {
    LogLine("WARNING: the high scores could not be saved.\n");
  }
}

void HiscoreWindow::Load() {
  HiscoreTable table = Table();
  if (table.Load(FilePath())) {
    ShowTable(table);
    onDiskBase_ = table;
  }
}

void HiscoreWindow::EndEntry() {
  if (entryRow_ < 0) return;
  EditField& field = *names_[entryTable_][entryRow_];
  field.OnCommand("EndEdit");
  if (field.Text().empty()) SetFieldText(field, FallbackName());
  scores_.SetLastName(field.Text());
  entryTable_ = entryRow_ = -1;
  nameSelected_ = false;
  Save();
}

void HiscoreWindow::NewEntry(int table, const std::string& command, const char* word) {
  page_ = table;
  // The number follows the word. Anything that is not a number there offers
  // nothing, and neither does a negative number: compared as unsigned it would
  // beat every real score.
  const char* afterWord = std::strstr(command.c_str(), word) + std::strlen(word);
  int score = 0;
  if (std::sscanf(afterWord, "%d", &score) != 1 || score < 0) return;
  // One entry at a time: one still running is ended with its name first.
  if (entryRow_ >= 0) EndEntry();
  HiscoreTable updated = Table();
  const int row = updated.Insert(table, static_cast<uint32_t>(score));
  if (row < 0) return;
  ShowTable(updated);
  BeginEntry(table, row, scores_.LastName(), true);
  Save();
}

void HiscoreWindow::Command(std::string text) {
  if (text.find("NewTimeUser") != std::string::npos) {
    NewEntry(HiscoreTable::kTimeTable, text, "NewTimeUser");
  } else if (text.find("NewClassicUser") != std::string::npos) {
    NewEntry(HiscoreTable::kClassicTable, text, "NewClassicUser");
  } else if (text == "EndInput") {
    EndEntry();
  } else if (text == "SaveData") {
    Save();
  } else if (text == "LoadData") {
    Load();
  } else if (text == "HiscoreBegin") {
    if (blend_ <= 0.0f) blend_ = 1.0f;
  } else if (text == "HiscoreEnd") {
    if (blend_ >= 0.0f) blend_ = -1.0f;
  } else if (text == "Inc" || text == "Dec") {
    page_ = (page_ + 1) % 2;
  }
  Window::Command(std::move(text));
}

void HiscoreWindow::OnKeyChar(uint32_t code, uint32_t keyData) {
  if (!IsEnabled()) return;
  const uint32_t key = code;
  if (nameSelected_ && EntryRunning() && entryTable_ == page_ && key != 13 &&
      (key == 8 || key >= EditField::kFirstPrintable)) {
    // The selected last name goes; a letter then starts the new name.
    nameSelected_ = false;
    names_[entryTable_][entryRow_]->OnCommand("BeginEdit");
    if (key == 8) return;
  }
  bool entryEnded = false;
  for (const auto& field : names_[page_]) {
    const bool wasEditing = field->IsEditing();
    field->OnKeyChar(code, keyData);
    if (wasEditing && !field->IsEditing()) entryEnded = true;
  }
  // The fields' keystroke words are of no use to anyone; drop them.
  NotificationQueue discarded;
  for (const auto& field : names_[page_]) field->Control::Update(discarded);
  if (entryEnded) EndEntry();
  Window::OnKeyChar(code, keyData);
}

void HiscoreWindow::Update(NotificationQueue& queue) {
  if (AdvanceDialogBlend(blend_, kFadeRate, FrameDelta())) Notify("EndBlend");
  Window::Update(queue);
}

void HiscoreWindow::DrawOverlay() {
  const float a = DialogOpacity(blend_);
  DrawDialogBackdrop(*this, a);
  BitmapFont& font = BitmapFont::Shared();
  font.SetColor(1, 1, 1, a);
  Window::Draw();
  char text[32];
  const int entryRow = EntryRow();
  if (entryRow >= 0) {
    // The row taking the name glows gold, the name in it brighter when selected.
    const float y = RowBaseline(entryRow);
    if (highlight_.Bind()) {
      const Vertex corners[4] = {{172, y - 5, 0, 1}, {628, y - 5, 1, 1}, {628, y + 19, 1, 0},
                                 {172, y + 19, 0, 0}};
      GetRenderer()->DrawQuad(corners, 1.0f, 0.8f, 0.25f, 0.3f * a);
    }
    if (nameSelected_) {
      // The filled-in name is selected: a pale blue band behind it.
      const float right = 210.0f + static_cast<float>(font.TextWidth(names_[page_][entryRow]->Text()));
      if (highlight_.Bind()) {
        const Vertex band[4] = {{208, y - 3, 0, 1}, {right + 2, y - 3, 1, 1},
                                {right + 2, y + 16, 1, 0}, {208, y + 16, 0, 0}};
        GetRenderer()->DrawQuad(band, 0.3f, 0.5f, 1.0f, 0.6f * a);
      }
    }
    font.SetColor(1.0, 0.9, 0.4, a);
    PrintCentred(398, kEntryLineY, kEntryLine);
  }
  for (int row = 0; row < HiscoreTable::kRowCount; ++row) {
    const float y = RowBaseline(row);
    if (row == entryRow) {
      font.SetColor(1.0, 1.0, 1.0, a);
    } else {
      font.SetColor(0.7, 0.7, 0.7, a);
    }
    names_[page_][row]->SetAlpha(a);
    names_[page_][row]->Draw();
    font.SetColor(0.9, 0.9, 0.9, a);
    std::snprintf(text, sizeof text, "%s%d.", row < 9 ? " " : "", row + 1);
    font.PrintText(180, y, text);
    std::snprintf(text, sizeof text, "%u", scores_.At(page_, row).score);
    font.PrintText(550, y, text);
  }
  font.SetColor(0.9, 0.9, 0.9, a);
  PrintCentred(398, 483, page_ == 0 ? "Classic Mode" : "Time Attack");
  font.SetColor(1, 1, 1, 1);
}

}  // namespace tav
