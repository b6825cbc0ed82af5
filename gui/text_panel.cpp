// Text panel slide, its keyword commands and its drawing.
#include "gui/text_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/frame_delta.h"
#include "render/bitmap_font.h"

namespace tav {

namespace {

// Reads one number right after the keyword, when the command contains it. A
// missing or non-finite number leaves *value unchanged.
void ReadNumberAfter(const std::string& command, const char* keyword, size_t keywordLength,
                     float* value) {
  const size_t found = command.find(keyword);
  if (found == std::string::npos) return;
  float number = 0.0f;
  if (std::sscanf(command.c_str() + found + keywordLength, "%f", &number) == 1 &&
      std::isfinite(number)) {
    *value = number;
  }
}

}  // namespace

void TextPanel::Create(const std::string& pictureName, Vec2 pictureFrom, Vec2 pictureTo,
                       Vec2 textFrom, Vec2 textTo, float curTime, float nextTime) {
  picture_.SetTexture(pictureName);
  pictureFrom_ = pictureFrom;
  pictureTo_ = pictureTo;
  textFrom_ = textFrom;
  textTo_ = textTo;
  curTime_ = curTime;
  nextTime_ = nextTime;
}

void TextPanel::Update(NotificationQueue& queue) {
  Control::Update(queue);
  const float step = kSlideSpeed * FrameDelta();
  if (curTime_ < nextTime_) {
    curTime_ += step;
    if (curTime_ >= nextTime_) {
      curTime_ = nextTime_;
      Notify("PanelLeavingOk");
    }
  }
  if (curTime_ > nextTime_) {
    curTime_ -= step;
    if (curTime_ <= nextTime_) {
      curTime_ = nextTime_;
      Notify("PanelLeavingOk");
    }
  }
}

void TextPanel::OnCommand(const std::string& command) {
  ReadNumberAfter(command, "SetNextTime", 11, &nextTime_);
  ReadNumberAfter(command, "SetCurTime", 10, &curTime_);

  const size_t text = command.find("SetStr");
  if (text != std::string::npos) {
    // The keyword and one separating character; nothing after it is an empty text.
    const size_t rest = text + 6 + 1;
    text_ = rest < command.size() ? command.substr(rest) : std::string();
  }

  const size_t colour = command.find("SetColor");
  if (colour != std::string::npos) {
    // Each number that is read replaces its component; the rest stay.
    std::sscanf(command.c_str() + colour + 8, "%f%f%f", &red_, &green_, &blue_);
  }
}

void TextPanel::Draw() {
  const float t = std::clamp(curTime_, 0.0f, 1.0f);
  const Vec2 picturePlace = pictureFrom_ + (pictureTo_ - pictureFrom_) * t;
  const Vec2 textPlace = textFrom_ + (textTo_ - textFrom_) * t;
  // The panel always draws opaque, whatever its window's alpha.
  picture_.DrawCentered(picturePlace.x, picturePlace.y);
  BitmapFont& font = BitmapFont::Shared();
  font.SetColor(red_, green_, blue_, 1.0);
  font.PrintText(textPlace.x + kTextIndent, textPlace.y, text_);
  font.SetColor(1.0, 1.0, 1.0, 1.0);
}

}  // namespace tav
