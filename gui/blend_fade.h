// The fade shared by the windows that fade: a blend value set to +1 by
// "BeginDecBlend" and to -1 by "BeginIncBlend" that each update moves back to 0
// at the window's own rate per second, posting the end word when it arrives. The
// words name the direction of the number; what the opacity drives is the
// window's choice (its own alpha, or a black shade over the screen).
#pragma once

#include <string>

namespace tav {

class Window;

class BlendFade {
 public:
  enum class EndWords {
    // "EndDecBlend" when falling to 0, "EndIncBlend" when rising to 0.
    kBothDirections,
    // Only "EndBlend", when rising to 0; nothing when falling to 0.
    kEndBlendOnRise,
  };

  explicit BlendFade(float ratePerSecond, EndWords endWords = EndWords::kBothDirections)
      : rate_(ratePerSecond), endWords_(endWords) {}

  // Starts a fade on "BeginDecBlend" or "BeginIncBlend" (from 1 or -1, whatever
  // the current value); true when the command was one of them. The window still
  // passes the command on to its base Command.
  bool OnCommand(const std::string& command);
  // Moves the value towards 0 by rate * dt; on arriving posts the end word
  // through the window's Notify. Call before the base Window::Update.
  void Advance(float dt, Window& window);

  float Value() const { return value_; }
  void SetValue(float value) { value_ = value; }
  bool IsResting() const { return value_ == 0.0f; }
  // 1 - b while falling, -b while rising, 1 at rest.
  float Opacity() const;

 private:
  float value_ = 0.0f;
  float rate_;
  EndWords endWords_;
};

}  // namespace tav
