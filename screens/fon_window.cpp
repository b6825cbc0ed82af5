// The top bar's pictures and its two round buttons.
#include "screens/fon_window.h"

#include <memory>

#include "screens/screen_parts.h"

namespace tav {

namespace {

CircleButton* AddCircleButton(Window& window, const std::string& name, const std::string& stem,
                              float x, float y, float centreX, float centreY) {
  auto button = std::make_unique<CircleButton>(name);
  button->Create(stem + "Loop.tga", stem + "Focus.tga", stem + "down.tga", x, y);
  button->SetCircle(centreX, centreY, 10.0f);
  return window.AddControl(std::move(button));
}

}  // namespace

FonWindow::FonWindow(std::string name) : Window(std::move(name)) {
  // The strip's bottom edge sits 37 pixels below the top of the screen.
  AddPicture(*this, "UpPanel1", "top_bar_logo.tga", 0, 563);
  AddPicture(*this, "UpPanel1", "top_bar.tga", 256, 563);
  AddPicture(*this, "UpPanel1", "top_bar.tga", 512, 563);
  AddPicture(*this, "UpPanel1", "top_bar.tga", 768, 563);
  AddCircleButton(*this, "ButtonClose", "x_", 760, 573, 776, 589);
  AddCircleButton(*this, "ButtonHide", "_", 737, 573, 753, 589);
}

}  // namespace tav
