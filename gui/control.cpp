// Notification posting and collection of the control base, and PictureControl.
#include "gui/control.h"

namespace tav {

void Control::Notify(const std::string& word, const std::string& argument) {
  pending_.push_back(Notification{word, argument, nullptr, nullptr});
}

void Control::Update(NotificationQueue& queue) {
  while (!pending_.empty()) {
    Notification notification = std::move(pending_.front());
    pending_.pop_front();
    notification.control = this;
    queue.push_back(std::move(notification));
  }
}

void PictureControl::Create(Vec2 position, const std::string& pictureName) {
  position_ = position;
  picture_.SetTexture(pictureName);
}

void PictureControl::Draw() { picture_.Draw(position_.x, position_.y, 1.0f, Alpha()); }

}  // namespace tav
