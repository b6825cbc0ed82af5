// The high-score dialog: entries, name typing, saving and its fading page.
#include "screens/hiscore_window.h"

#include <cstdio>
#include <cstring>

#include "base/data_path.h"
#include "base/log.h"
#include "gui/frame_delta.h"
#include "render/bitmap_font.h"
#include "screens/screen_parts.h"

namespace tav {

namespace {

constexpr float kFadeRate = 2.0f;

float RowBaseline(int row) {
  return 452.0f - 30.0f * static_cast<float>(row);
}

// Gives an idle field a text. The field only takes text by typing, so the text
// is typed into it: bytes the field would read as keys (Backspace, Enter) or
// that are control characters are left out, and the text stops where the field
// is full. What the typing posted is thrown away.
void SetFieldText(EditField& field, const std::string& text) {
  field.OnCommand("BeginEdit");
  for (unsigned char c : text) {
    if (c < 32) continue;
    const size_t before = field.Text().size();
    field.OnKeyChar(c, 0);
    if (field.Text().size() == before) break;
  }
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
  SetBackControl("ButtonOK");
  AddSelector("ButtonInc", "ButtonDec");
}

bool HiscoreWindow::OnKey(const KeyPress& press) {
  const bool typed = press.key == InputKey::kEnter || press.key == InputKey::kSpace;
  if (typed && AnyNameEntryRunning()) return IsEnabled();
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
      if (names_[t][row]->Text() != table.At(t, row).name) {
        SetFieldText(*names_[t][row], table.At(t, row).name);
      }
    }
  }
}

bool HiscoreWindow::AnyNameEntryRunning() const {
  for (const auto& table : names_) {
    for (const auto& field : table) {
      if (field->IsEditing()) return true;
    }
  }
  return false;
}

void HiscoreWindow::Save() {
  if (!Table().Save(FilePath())) {
    LogLine("WARNING: the high scores could not be saved.\n");
  }
}

void HiscoreWindow::Load() {
  HiscoreTable table = Table();
  if (table.Load(FilePath())) ShowTable(table);
}

void HiscoreWindow::NewEntry(int table, const std::string& command, const char* word) {
  page_ = table;
  // The number follows the word. Anything that is not a number there offers
  // nothing, and neither does a negative number: compared as unsigned it would
  // beat every real score.
  const char* afterWord = std::strstr(command.c_str(), word) + std::strlen(word);
  int score = 0;
  if (std::sscanf(afterWord, "%d", &score) != 1 || score < 0) return;
  HiscoreTable updated = Table();
  const int row = updated.Insert(table, static_cast<uint32_t>(score));
  if (row < 0) return;
  ShowTable(updated);
  names_[table][row]->OnCommand("BeginEdit");
  Save();
}

void HiscoreWindow::Command(std::string text) {
  if (text.find("NewTimeUser") != std::string::npos) {
    NewEntry(HiscoreTable::kTimeTable, text, "NewTimeUser");
  } else if (text.find("NewClassicUser") != std::string::npos) {
    NewEntry(HiscoreTable::kClassicTable, text, "NewClassicUser");
  } else if (text == "EndInput") {
    const bool wasRunning = AnyNameEntryRunning();
    for (const auto& table : names_) {
      for (const auto& field : table) field->OnCommand("EndEdit");
    }
    if (wasRunning) Save();
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
  bool entryEnded = false;
  for (const auto& field : names_[page_]) {
    const bool wasEditing = field->IsEditing();
    field->OnKeyChar(code, keyData);
    if (wasEditing && !field->IsEditing()) entryEnded = true;
  }
  // The fields' keystroke words are of no use to anyone; drop them.
  NotificationQueue discarded;
  for (const auto& field : names_[page_]) field->Control::Update(discarded);
  if (entryEnded) Save();
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
  for (int row = 0; row < HiscoreTable::kRowCount; ++row) {
    const float y = RowBaseline(row);
    font.SetColor(0.7, 0.7, 0.7, a);
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
