// The options dialog ("OptionsWindow"): sliders for the effects and music
// volumes and a check box to switch each on or off. The application applies
// every change the controls report (see sound_settings.h); the dialog itself
// saves Data\Config.ini when it is closed ("OptionsEnd"), so a change survives a
// crash later in the run.
#pragma once

#include <string>

#include "gui/window.h"

namespace tav {

class OptionsWindow : public Window {
 public:
  explicit OptionsWindow(std::string name);

  // "OptionsBegin" fades the dialog in; "OptionsEnd" writes the process-wide
  // sound settings to Data\Config.ini and fades it out ("EndBlend" when done).
  // Nothing else, not even "Enable"/"Disable": the controls are reached through
  // SendToControl.
  void Command(std::string text) override;
  void Update(NotificationQueue& queue) override;
  void Draw() override {}
  void DrawOverlay() override;
  bool TakesKeys() const override { return IsEnabled() && blend_ == 0.0f; }

  float Blend() const { return blend_; }

 private:
  float blend_ = 0.0f;
};

}  // namespace tav
