// The base of every element of a window (pictures, buttons, check boxes, sliders,
// edit fields, text panels), and PictureControl, which only shows one picture.
// A control reacts to the input its window forwards, accepts text commands and
// reports what happened by posting notifications; it never calls out.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "gui/geometry.h"
#include "gui/notification.h"
#include "platform/input_key.h"
#include "render/sprite.h"

namespace tav {

class Control {
 public:
  explicit Control(std::string name) : name_(std::move(name)) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  virtual void Draw() = 0;
  // The second draw pass; no control draws anything there.
  virtual void DrawOverlay() {}
  // Moves what was posted since the last update to the end of the queue, stamped
  // with this control. Overrides call this first, then animate, so whatever they
  // post while animating reaches the queue one frame later.
  virtual void Update(NotificationQueue& queue);

  virtual void OnMouseMove(Vec2) {}
  virtual void OnLeftUp(Vec2) {}
  virtual void OnLeftDown(Vec2) {}
  virtual void OnLeftHeld(Vec2) {}
  virtual void OnRightUp(Vec2) {}
  virtual void OnRightDown(Vec2) {}
  virtual void OnRightHeld(Vec2) {}
  // code: the typed character (only its low byte counts); keyData: bits 16-31 of
  // the key message.
  virtual void OnKeyChar(uint32_t /*code*/, uint32_t /*keyData*/) {}

  // --- Keyboard and controller focus. The window moves the focus among the controls
  // that can take it; a focused control shows itself as the pointer over it would.
  virtual bool Focusable() const { return false; }
  // Gaining the focus announces it as the pointer's arrival does; losing it looks
  // like the pointer leaving.
  virtual void SetKeyFocus(bool /*focused*/) {}
  // Enter or Space on the focused control: exactly what a click on it does.
  virtual void Activate() {}
  // Left (-1) or Right (+1) on the focused control; false when it has no use for them.
  virtual bool Adjust(int /*step*/) { return false; }
  // Where the focus frame goes around the control.
  virtual Rect FocusRect() const { return Rect(); }

  virtual const char* GetTypeName() const { return "MenuControl"; }
  // A command this control does not know is ignored.
  virtual void OnCommand(const std::string& /*command*/) {}

  const std::string& Name() const { return name_; }
  float Alpha() const { return alpha_; }
  void SetAlpha(float alpha) { alpha_ = alpha; }
  // What was posted and not yet collected, oldest first.
  const NotificationQueue& Pending() const { return pending_; }

 protected:
  // Queues a notification with an empty argument.
  void Notify(const std::string& word) { Notify(word, std::string()); }
  void Notify(const std::string& word, const std::string& argument);

 private:
  float alpha_ = 1.0f;
  const std::string name_;
  NotificationQueue pending_;
};

// A fixed picture (backgrounds, frames): no input, no commands.
class PictureControl : public Control {
 public:
  using Control::Control;

  // Loads the picture through the texture catalogue.
  void Create(Vec2 position, const std::string& pictureName);
  void Draw() override;

  Vec2 Position() const { return position_; }

 private:
  Vec2 position_;
  Sprite picture_;
};

}  // namespace tav
