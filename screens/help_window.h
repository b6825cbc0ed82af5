// The help dialog ("HelpWindow"): illustrated pages and a last page of the keys and
// controller buttons, turned with the previous ("ButtonDec") and next ("ButtonInc")
// buttons, closed with "ButtonOK".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/control.h"
#include "gui/window.h"

namespace tav {

class HelpWindow : public Window {
 public:
  explicit HelpWindow(std::string name);

  // "HelpInc"/"HelpDec" turn the page (wrapping round), "HelpBegin" fades in,
  // "HelpEnd" fades out ("EndBlend" when done). Nothing else reaches the window.
  void Command(std::string text) override;
  void Update(NotificationQueue& queue) override;
  void Draw() override {}
  void DrawOverlay() override;
  // Moves and presses count only while no fade runs.
  void OnMouseMove(Vec2 position) override;
  void OnLeftDown(Vec2 position) override;
  bool TakesKeys() const override { return IsEnabled() && blend_ == 0.0f; }

  int Page() const { return page_; }
  // The pictures, then the page of keys.
  int PageCount() const { return static_cast<int>(pages_.size()) + 1; }
  bool ShowsKeysPage() const { return page_ == static_cast<int>(pages_.size()); }
  float Blend() const { return blend_; }

 private:
  void DrawKeysPage(float opacity);

  std::vector<std::unique_ptr<PictureControl>> pages_;
  std::unique_ptr<PictureControl> keysPage_;
  int page_ = 0;
  float blend_ = 0.0f;
};

}  // namespace tav
