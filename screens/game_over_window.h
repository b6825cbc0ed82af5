// The game-over screen ("GameOverWindow") over the lost game, with one OK button
// ("ButtonOK") that the application answers by closing the game.
#pragma once

#include <string>

#include "screens/fading_dialog.h"

namespace tav {

class GameOverWindow : public FadingDialog {
 public:
  explicit GameOverWindow(std::string name);
};

}  // namespace tav
