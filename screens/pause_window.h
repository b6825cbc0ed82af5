// The pause screen ("PauseWindow") over the game: resume ("ResumeButton"), back
// to the menu ("ExitToMenuButton") and leave the game ("ExitButton"). The
// application decides what each click does.
#pragma once

#include <string>

#include "screens/fading_dialog.h"

namespace tav {

class PauseWindow : public FadingDialog {
 public:
  explicit PauseWindow(std::string name);
  // The controller's Start resumes, as it paused.
  bool OnKey(const KeyPress& press) override;
};

}  // namespace tav
