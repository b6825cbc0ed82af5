// The level-complete screen's phases, scroll bands and shade.
#include "screens/level_complete_window.h"

#include <cstdio>
#include <iterator>

#include "gui/frame_delta.h"
#include "render/renderer.h"
#include "screens/screen_parts.h"

namespace tav {

namespace {

constexpr float kOpenCloseRate = 1.5f;
constexpr float kNewLineRate = 3.0f;
// The frame and the button appear only in the last 70 % of the opening and are
// gone after the first 70 % of the closing.
constexpr float kFrameFadeShare = 0.7f;

const char* const kScrollPictures[] = {"papirus1.tga", "papirus2.tga", "papirus3.tga",
                                       "papirus4.tga", "papirus5.tga", "papirus6.tga"};

// 1 - (t / 0.7) while t is at most 0.7, else 0.
float FrameOpacity(float t) {
  return 1.0f - (t <= kFrameFadeShare ? t * (1.0f / kFrameFadeShare) : 1.0f);
}

}  // namespace

LevelCompleteWindow::LevelCompleteWindow(std::string name) : Window(std::move(name)) {
  shade_.SetTexture("black.tga");
  unrollSound_.Load("pic.wav", SoundManager::Instance().EffectsLibrary());
  AddPicture(*this, "Fon", "rc_window.tga", 371, 70);
  AddRectangularButton(*this, "ButtonOK", "ok", 438, 63, 462, 78, 542, 112);
  SetBackControl("ButtonOK");
}

void LevelCompleteWindow::Command(std::string text) {
  if (text == "Show") {
    timer_ = 1.0f;
    phase_ = kOpening;
  } else if (text.find("Level") != std::string::npos) {
    // The number follows "Level " (from the seventh character on). Levels count
    // from 0; a negative number would unroll the scroll upwards and is ignored.
    int level = 0;
    if (text.size() > 6 && std::sscanf(text.c_str() + 6, "%d", &level) == 1 && level >= 0) {
      level_ = level;
      const int group = level / 10;
      if (group < static_cast<int>(std::size(kScrollPictures))) {
        scroll_.SetTexture(kScrollPictures[group]);
      }
    }
  } else if (text == "EndShow") {
    if (phase_ != kClosing) {
      timer_ = 1.0f;
      phase_ = kClosing;
    }
  }
  Window::Command(std::move(text));
}

void LevelCompleteWindow::Update(NotificationQueue& queue) {
  const float dt = FrameDelta();
  if (phase_ == kOpening && timer_ > 0.0f) {
    timer_ -= kOpenCloseRate * dt;
    if (timer_ <= 0.0f) {
      phase_ = kResting;
      timer_ = 1.0f;
      unrollSound_.Play(false);
    }
  }
  if (phase_ == kResting && timer_ > 0.0f) {
    timer_ -= kNewLineRate * dt;
    if (timer_ <= 0.0f) timer_ = 0.0f;
  }
  if (phase_ == kClosing && timer_ > 0.0f) {
    timer_ -= kOpenCloseRate * dt;
    if (timer_ <= 0.0f) {
      timer_ = 0.0f;
      phase_ = kIdle;
      Notify("EndBlend");
    }
  }
  Window::Update(queue);
}

void LevelCompleteWindow::DrawBand(int from, int to, float alpha) {
  if (!scroll_.Bind()) return;
  const float top = 495.0f - kLineHeight * static_cast<float>(from);
  const float bottom = 495.0f - kLineHeight * static_cast<float>(to);
  const float vTop = 0.28f + 0.072f * static_cast<float>(from);
  const float vBottom = 0.28f + 0.072f * static_cast<float>(to);
  const Vertex corners[4] = {{371, bottom, 0, vBottom},
                             {627, bottom, 1, vBottom},
                             {627, top, 1, vTop},
                             {371, top, 0, vTop}};
  GetRenderer()->DrawQuad(corners, 1, 1, 1, alpha);
}

void LevelCompleteWindow::DrawOverlay() {
  const float t = timer_;
  const int k = level_ % 10;
  SetAlpha(1.0f);
  if (phase_ == kOpening) {
    DrawScreenShade(shade_, (1.0f - t) * 0.75f);
    SetAlpha(FrameOpacity(t));
  } else if (phase_ == kClosing) {
    DrawScreenShade(shade_, t * 0.75f);
    SetAlpha(FrameOpacity(1.0f - t));
  } else if (phase_ == kResting) {
    DrawScreenShade(shade_, 0.75f);
  }
  Window::Draw();
  if (phase_ == kOpening) {
    DrawBand(0, k, 1.0f - t);
  } else if (phase_ == kResting) {
    DrawBand(0, k, 1.0f);
    DrawBand(k, k + 1, 1.0f - t);
  } else if (phase_ == kClosing) {
    DrawBand(0, k + 1, t);
  }
}

void LevelCompleteWindow::OnMouseMove(Vec2 position) {
  if (phase_ != kClosing) Window::OnMouseMove(position);
}

void LevelCompleteWindow::OnLeftDown(Vec2 position) {
  if (phase_ != kClosing) Window::OnLeftDown(position);
}

}  // namespace tav
