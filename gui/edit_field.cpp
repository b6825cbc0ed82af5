// Edit field keystrokes, commands, caret blink and dot padding.
#include "gui/edit_field.h"

#include "base/frame_clock.h"
#include "base/utf8.h"
#include "render/bitmap_font.h"

namespace tav {

EditField::EditField(std::string name)
    : Control(std::move(name)), lastTick_(GetTimeSource().MilliTicks()) {}

bool EditField::Fits(const std::string& candidate) const {
  return candidate.size() <= kMaxTextBytes &&
         static_cast<float>(BitmapFont::Shared().TextWidth(candidate)) <= textRect_.Width();
}

void EditField::OnKeyChar(uint32_t code, uint32_t /*keyData*/) {
  if (!editing_) return;
  if (code == 8) {
    RemoveLastUtf8Letter(text_);
  } else if (code == 13) {
    editing_ = false;
  } else if (code >= kFirstPrintable && code != 0x7F) {
    // Any other letter is taken, kept as UTF-8; how it looks is the font's business.
    std::string candidate = text_;
    AppendUtf8(candidate, code);
    if (Fits(candidate)) text_ = std::move(candidate);
  }
  // Other control bytes (Tab, Escape, ...) are refused like a byte that does not
  // fit: the high-score file drops them when it is read, so a name holding one
  // would change after a restart.
  caretClock_ = 0;  // the caret restarts visible after each keystroke
  Notify("EditOnChar");
}

void EditField::OnCommand(const std::string& command) {
  if (command == "BeginEdit") {
    text_.clear();
    editing_ = true;
  } else if (command == "EndEdit") {
    editing_ = false;
  }
}

std::string EditField::DisplayText() {
  if (editing_) {
    const uint32_t now = GetTimeSource().MilliTicks();
    caretClock_ += now - lastTick_;  // unsigned: survives the tick counter wrapping
    lastTick_ = now;
    return (caretClock_ & kCaretBlinkBit) == 0 ? text_ + "|" : text_;
  }
  std::string padded = text_;
  for (int i = 0; i < kMaxDots; ++i) {
    std::string candidate = padded + '.';
    if (static_cast<float>(BitmapFont::Shared().TextWidth(candidate)) > textRect_.Width()) break;
    padded = std::move(candidate);
  }
  return padded;
}

void EditField::Draw() {
  BitmapFont::Shared().PrintText(textRect_.x0, textRect_.y0, DisplayText());
}

}  // namespace tav
