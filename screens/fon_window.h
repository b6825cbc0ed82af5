// The game's own title strip across the top of the screen: the logo on the
// left, the minimise ("ButtonHide") and close ("ButtonClose") buttons on the
// right. It draws in the second pass, so it stays above every other screen; the
// application handles the two buttons' clicks.
#pragma once

#include <string>

#include "gui/button.h"
#include "gui/window.h"

namespace tav {

class FonWindow : public Window {
 public:
  explicit FonWindow(std::string name);

  void Draw() override {}
  void DrawOverlay() override { Window::Draw(); }
  // Its buttons are the system's own (Alt+F4 closes, the menu has Exit): keys pass it by.
  bool AcceptsKeys() const override { return false; }
};

}  // namespace tav
