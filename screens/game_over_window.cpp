// The game-over screen's frame and button.
#include "screens/game_over_window.h"

#include "screens/screen_parts.h"

namespace tav {

GameOverWindow::GameOverWindow(std::string name) : FadingDialog(std::move(name)) {
  // The frame shares the pause frame's control name.
  AddPicture(*this, "Pause", "gameover_window.tga", 272, 270);
  AddRectangularButton(*this, "ButtonOK", "ok", 336, 270, 360, 285, 440, 319);
  SetBackControl("ButtonOK");
}

}  // namespace tav
