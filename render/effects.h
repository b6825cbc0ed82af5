// The effect building blocks the game's visuals share: the random(x) function, a
// particle pool of 3000 slots, a floating-text list of 300 slots and a trembling
// lightning bolt. The pool and the list are fixed arrays written in circular
// order: emitting never allocates and never fails, the oldest slot is overwritten.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "render/sprite.h"

namespace tav {

class BitmapFont;

// A float in [0, x), mixed from the millisecond tick count (the installed
// TimeSource's MilliTicks) and the random generator.
float Random(float x);

// The generator behind Random: std::rand unless a test installs its own.
using RandomGenerator = int (*)();
void SetRandomGenerator(RandomGenerator generator);  // null restores std::rand

struct Particle {
  Sprite sprite;  // exists for the pool's whole life
  bool alive = false;
  float x = 0, y = 0;  // centre
  float scale = 0;     // drawn only while above 0
  float growth = 0;    // scale change per second
  float vx = 0, vy = 0;
  float age = 0, lifetime = 0;
  bool gravityOn = false;
  float gravity = 0;  // downward acceleration, units per second squared
  float spin = 0;     // radians per second
  float angle = 0;
};

class ParticlePool {
 public:
  static constexpr int kCapacity = 3000;

  static ParticlePool& Instance();

  ParticlePool() = default;
  ParticlePool(const ParticlePool&) = delete;
  ParticlePool& operator=(const ParticlePool&) = delete;

  // Overwrites the slot at the write index (alive or not) and moves the index on.
  void Emit(const std::string& pictureName, float x, float y, float scale, float growth,
            float vx, float vy, float lifetime, float spin, bool gravityOn, float gravity);
  // Ages and moves every live particle by the frame time; frees the expired ones.
  void Update();
  // Draws every live particle with a positive scale, fading out over its life.
  void Draw();
  void Clear();  // all slots free, write index 0

  const Particle& At(int index) const { return particles_[static_cast<size_t>(index)]; }
  int WriteIndex() const { return writeIndex_; }
  int AliveCount() const;

 private:
  std::array<Particle, kCapacity> particles_;
  int writeIndex_ = 0;
};

struct FloatingText {
  static constexpr size_t kMaxLength = 127;

  bool alive = false;
  char text[kMaxLength + 1] = {};
  size_t length = 0;
  float x = 0, y = 0;  // bottom-left of the text
  float vx = 0, vy = 0;
  float age = 0, lifetime = 0;
  float red = 1, green = 1, blue = 1;
  float acceleration = 0;  // change of vy per second

  std::string_view Text() const { return std::string_view(text, length); }
};

class FloatingTextList {
 public:
  static constexpr int kCapacity = 300;

  static FloatingTextList& Instance();

  FloatingTextList() = default;
  FloatingTextList(const FloatingTextList&) = delete;
  FloatingTextList& operator=(const FloatingTextList&) = delete;

  // The font used to centre and draw the texts; BitmapFont::Shared() by default.
  void SetFont(BitmapFont* font) { font_ = font; }

  // Centres the text horizontally on x. Texts of 128 characters or more are dropped.
  void Add(std::string_view text, float x, float y, float vx, float vy, float lifetime,
           float red, float green, float blue, float acceleration);
  void Update();
  void Draw();
  void Clear();  // all entries free, write index 0

  const FloatingText& At(int index) const { return texts_[static_cast<size_t>(index)]; }
  int WriteIndex() const { return writeIndex_; }
  int AliveCount() const;

 private:
  BitmapFont& Font();

  std::array<FloatingText, kCapacity> texts_;
  int writeIndex_ = 0;
  BitmapFont* font_ = nullptr;
};

struct BoltPoint {
  float x = 0, y = 0;          // where it is drawn this frame
  float baseX = 0, baseY = 0;  // where it sits on the straight line
  float phase = 0;             // radians
  float amplitude = 0;         // units across the bolt
};

// A jagged band of quads between two points whose inner points tremble across it.
class LightningBolt {
 public:
  // Rebuilds the bolt; the only call that allocates. Fewer than 2 points count as 2.
  void Set(const std::string& pictureName, float fromX, float fromY, float toX, float toY,
           float halfWidth, float amplitude, float speed, int pointCount);
  // Moves the inner points by the frame time and draws one quad per segment.
  void Draw();

  const std::vector<BoltPoint>& Points() const { return points_; }
  float NormalX() const { return normalX_; }
  float NormalY() const { return normalY_; }
  Sprite& GetSprite() { return sprite_; }

 private:
  Sprite sprite_;
  std::vector<BoltPoint> points_;
  float speed_ = 0;
  float halfWidth_ = 0;
  float normalX_ = 0, normalY_ = 0;
};

}  // namespace tav
