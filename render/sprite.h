// A Sprite draws one picture of the TextureCatalogue, playing a named action by
// its own clock: frame = time / frame duration, modulo the action's frame count.
#pragma once

#include <string>

#include "base/frame_clock.h"

namespace tav {

class Texture;
struct RendererTexture;

class Sprite {
 public:
  Sprite() = default;

  // Loads (on first use) and sets the picture; the action becomes its first one.
  void SetTexture(const std::string& pictureName);
  // Restarts the clock at 0; the name is looked up only at the next draw.
  void SetAction(const std::string& actionName);

  // Bottom-left corner at (x, y), size width*scale by height*scale.
  void Draw(float x, float y, float scale = 1.0f, float alpha = 1.0f, float red = 1.0f,
            float green = 1.0f, float blue = 1.0f);
  // At (x - floor(width/2), y - floor(height/2)) with the unscaled size.
  void DrawCentered(float x, float y, float scale = 1.0f, float alpha = 1.0f,
                    float red = 1.0f, float green = 1.0f, float blue = 1.0f);
  // Centred on (x, y), turned counter-clockwise by angle radians.
  void DrawRotated(float x, float y, float angle, float scale = 1.0f, float alpha = 1.0f,
                   float red = 1.0f, float green = 1.0f, float blue = 1.0f);
  // Selects the current frame (binds it, sets filter and blend) without drawing.
  // False when nothing can be drawn (no texture, or an action without frames).
  bool Bind();

  bool HasTexture() const { return texture_ != nullptr; }
  Texture* GetTexture() const { return texture_; }
  const std::string& ActionName() const { return actionName_; }
  float Time() const { return clock_.Get(); }
  void SetTime(float seconds) { clock_.Set(seconds); }
  int FrameCount();  // of the current action; 0 without a texture
  float FrameDuration() const;
  int Width() const;
  int Height() const;
  // The picture's bounding box x1, y1, x2, y2 (all 0 without a texture).
  void GetBoundingBox(int box[4]) const;

 private:
  const RendererTexture* SelectFrame();

  Texture* texture_ = nullptr;
  std::string actionName_;
  Stopwatch clock_;
};

}  // namespace tav
