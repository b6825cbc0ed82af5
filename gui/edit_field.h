// The one-line text entry (the player's name on the high-score screen). While
// editing it takes typed letters (kept as UTF-8) that fit its rectangle in the shared
// font and shows a blinking caret; when idle it shows the text padded with dots.
// Every keystroke taken while editing is reported with "EditOnChar"; the owner
// reads Text().
#pragma once

#include <cstdint>
#include <string>

#include "gui/control.h"
#include "gui/geometry.h"

namespace tav {

class EditField : public Control {
 public:
  // The high-score record keeps a name of at most this many bytes (plus its NUL).
  static constexpr size_t kMaxTextBytes = 255;
  static constexpr int kMaxDots = 100;
  // Bytes below this are control bytes; only Backspace and Enter act, the rest
  // are refused.
  static constexpr unsigned char kFirstPrintable = 32;
  // The caret shows while this bit of the caret clock is clear: 512 ms on, 512 off.
  static constexpr uint32_t kCaretBlinkBit = 512;

  // Starts in editing mode; the caret clock starts at the construction time.
  explicit EditField(std::string name);

  // The text's area: drawn at its minimum corner, no wider than x1 - x0.
  void SetRect(float x0, float y0, float x1, float y1) { textRect_.Set(x0, y0, x1, y1); }

  void Draw() override;
  // Backspace (8) removes the last letter, Enter (13) ends editing, other control
  // codes are refused, any other letter (a Unicode code) is appended as UTF-8
  // when it fits. Every keystroke taken while editing posts "EditOnChar".
  void OnKeyChar(uint32_t code, uint32_t keyData) override;
  // "BeginEdit" empties the text and starts editing; "EndEdit" stops it.
  void OnCommand(const std::string& command) override;

  const std::string& Text() const { return text_; }
  bool IsEditing() const { return editing_; }
  const Rect& TextRect() const { return textRect_; }
  // What Draw shows now (advances the caret clock like a draw does).
  std::string DisplayText();

 private:
  bool Fits(const std::string& candidate) const;

  std::string text_;
  Rect textRect_;
  bool editing_ = true;
  uint32_t lastTick_;
  uint32_t caretClock_ = 0;
};

}  // namespace tav
