// A picture with a line of text that slides between two placements (the game
// screen's score, round and time panels). A slide parameter t runs from the "from"
// placements (0) to the "to" placements (1); the panel moves its current t towards
// a target at 8 per second and posts "PanelLeavingOk" when it arrives.
#pragma once

#include <string>

#include "gui/control.h"
#include "gui/geometry.h"
#include "render/sprite.h"

namespace tav {

class TextPanel : public Control {
 public:
  static constexpr float kSlideSpeed = 8.0f;  // slide parameter per second
  // The text is drawn this far right of its anchor.
  static constexpr float kTextIndent = 20.0f;

  using Control::Control;

  // pictureFrom/pictureTo: the picture's centre at t = 0 and 1; textFrom/textTo:
  // the text's anchor at t = 0 and 1.
  void Create(const std::string& pictureName, Vec2 pictureFrom, Vec2 pictureTo, Vec2 textFrom,
              Vec2 textTo, float curTime, float nextTime);

  void Draw() override;
  // Collects, then moves towards the target: the arrival word reaches the queue
  // at the next update.
  void Update(NotificationQueue& queue) override;
  // Every command is searched for each keyword, in this order: "SetNextTime <t>",
  // "SetCurTime <t>", "SetStr <text>", "SetColor <r> <g> <b>".
  void OnCommand(const std::string& command) override;

  float CurTime() const { return curTime_; }
  float NextTime() const { return nextTime_; }
  const std::string& Text() const { return text_; }
  float Red() const { return red_; }
  float Green() const { return green_; }
  float Blue() const { return blue_; }

 private:
  Sprite picture_;
  float curTime_ = 0.0f;
  float nextTime_ = 0.0f;
  std::string text_;
  Vec2 pictureFrom_, pictureTo_;
  Vec2 textFrom_, textTo_;
  float red_ = 1.0f, green_ = 1.0f, blue_ = 1.0f;
};

}  // namespace tav
