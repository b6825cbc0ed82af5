// Particle pool, floating texts, lightning bolts and the random(x) they share.
#include "render/effects.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/frame_clock.h"
#include "render/bitmap_font.h"
#include "render/renderer.h"

namespace tav {

namespace {
RandomGenerator randomGenerator = nullptr;
constexpr float kTwoPi = 6.28318530717959f;
}  // namespace

void SetRandomGenerator(RandomGenerator generator) { randomGenerator = generator; }

float Random(float x) {
  RandomGenerator generate = randomGenerator ? randomGenerator : std::rand;
  // The modulus changes with the clock so that the sequence is not the bare
  // generator's; it is at least 8000, so never zero.
  const unsigned modulus = GetTimeSource().MilliTicks() % 5000u +
                           static_cast<unsigned>(generate()) % 2000u + 8000u;
  const unsigned draw = static_cast<unsigned>(generate()) % modulus;
  return static_cast<float>(draw) * x / static_cast<float>(modulus);
}

// ----- Particle pool -----

ParticlePool& ParticlePool::Instance() {
  static ParticlePool* pool = new ParticlePool();  // lives for the whole run
  return *pool;
}

void ParticlePool::Emit(const std::string& pictureName, float x, float y, float scale,
                        float growth, float vx, float vy, float lifetime, float spin,
                        bool gravityOn, float gravity) {
  Particle& particle = particles_[static_cast<size_t>(writeIndex_)];
  particle.sprite.SetTexture(pictureName);
  particle.alive = true;
  particle.x = x;
  particle.y = y;
  particle.scale = scale;
  particle.growth = growth;
  particle.vx = vx;
  particle.vy = vy;
  particle.age = 0;
  particle.lifetime = lifetime;
  particle.spin = spin;
  particle.angle = 0;
  particle.gravityOn = gravityOn;
  particle.gravity = gravity;
  writeIndex_ = (writeIndex_ + 1) % kCapacity;
}

void ParticlePool::Update() {
  const float dt = FrameTime();
  for (Particle& particle : particles_) {
    if (!particle.alive) continue;
    particle.age += dt;
    if (particle.age >= particle.lifetime) {
      particle.alive = false;
      continue;
    }
    particle.x += dt * particle.vx;
    particle.y += dt * particle.vy;
    particle.scale += dt * particle.growth;
    particle.angle += dt * particle.spin;
    if (particle.gravityOn) particle.vy -= dt * particle.gravity;
  }
}

void ParticlePool::Draw() {
  for (Particle& particle : particles_) {
    if (!particle.alive || !(particle.scale > 0)) continue;
    const float alpha = particle.lifetime > 0 ? 1.0f - particle.age / particle.lifetime : 0.0f;
    particle.sprite.DrawRotated(particle.x, particle.y, particle.angle, particle.scale, alpha,
                                1.0f, 1.0f, 1.0f);
  }
}

void ParticlePool::Clear() {
  for (Particle& particle : particles_) particle.alive = false;
  writeIndex_ = 0;
}

int ParticlePool::AliveCount() const {
  int count = 0;
  for (const Particle& particle : particles_) count += particle.alive ? 1 : 0;
  return count;
}

// ----- Floating texts -----

FloatingTextList& FloatingTextList::Instance() {
  static FloatingTextList* list = new FloatingTextList();  // lives for the whole run
  return *list;
}

BitmapFont& FloatingTextList::Font() { return font_ ? *font_ : BitmapFont::Shared(); }

void FloatingTextList::Add(std::string_view text, float x, float y, float vx, float vy,
                           float lifetime, float red, float green, float blue,
                           float acceleration) {
  if (text.size() > FloatingText::kMaxLength) return;
  FloatingText& entry = texts_[static_cast<size_t>(writeIndex_)];
  std::memcpy(entry.text, text.data(), text.size());
  entry.text[text.size()] = '\0';
  entry.length = text.size();
  entry.x = x - static_cast<float>(Font().TextWidth(text) / 2);
  entry.y = y;
  entry.vx = vx;
  entry.vy = vy;
  entry.age = 0;
  entry.lifetime = lifetime;
  entry.red = red;
  entry.green = green;
  entry.blue = blue;
  entry.acceleration = acceleration;
  entry.alive = true;
  writeIndex_ = (writeIndex_ + 1) % kCapacity;
}

void FloatingTextList::Update() {
  const float dt = FrameTime();
  for (FloatingText& entry : texts_) {
    if (!entry.alive) continue;
    // Only the vertical speed is accelerated; a horizontal drift stays constant.
    if (entry.vy != 0) entry.vy += dt * entry.acceleration;
    entry.age += dt;
    entry.x += dt * entry.vx;
    entry.y += dt * entry.vy;
    if (entry.age >= entry.lifetime) entry.alive = false;
  }
}

void FloatingTextList::Draw() {
  BitmapFont& font = Font();
  for (const FloatingText& entry : texts_) {
    if (!entry.alive) continue;
    font.SetColor(entry.red, entry.green, entry.blue, 1.0);
    font.PrintTextWithShadow(entry.x, entry.y, entry.Text());
    font.SetColor(1.0, 1.0, 1.0, 1.0);
  }
}

void FloatingTextList::Clear() {
  for (FloatingText& entry : texts_) entry.alive = false;
  writeIndex_ = 0;
}

int FloatingTextList::AliveCount() const {
  int count = 0;
  for (const FloatingText& entry : texts_) count += entry.alive ? 1 : 0;
  return count;
}

// ----- Lightning bolt -----

void LightningBolt::Set(const std::string& pictureName, float fromX, float fromY, float toX,
                        float toY, float halfWidth, float amplitude, float speed,
                        int pointCount) {
  sprite_.SetTexture(pictureName);
  speed_ = speed;
  halfWidth_ = halfWidth;
  // Two points are the least a bolt can have; fewer would divide by zero below.
  const int count = pointCount < 2 ? 2 : pointCount;
  const float dx = toX - fromX;
  const float dy = toY - fromY;
  const float length = std::sqrt(dx * dx + dy * dy);
  const float ux = dx / (length + 0.0000001f);
  const float uy = dy / (length + 0.0000001f);
  const float segment = length / static_cast<float>(count - 1);
  normalX_ = -uy;
  normalY_ = ux;
  points_.clear();
  points_.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    BoltPoint point;
    point.baseX = point.x = fromX + ux * (segment * static_cast<float>(i));
    point.baseY = point.y = fromY + uy * (segment * static_cast<float>(i));
    point.phase = Random(kTwoPi);
    const float endFactor = (i == 0 || i == count - 1) ? 0.2f : 1.0f;
    point.amplitude = (Random(1000.0f) * 0.001f + 1.0f) * endFactor * amplitude * 0.5f;
    points_.push_back(point);
  }
}

void LightningBolt::Draw() {
  if (!sprite_.Bind()) return;
  const float dt = FrameTime();
  for (size_t i = 1; i + 1 < points_.size(); ++i) {
    BoltPoint& point = points_[i];
    point.phase += dt * speed_;
    const float offset = std::cos(point.phase) * point.amplitude;
    point.x = point.baseX + normalX_ * offset;
    point.y = point.baseY + normalY_ * offset;
  }
  Renderer* renderer = GetRenderer();
  const float wx = normalX_ * halfWidth_;
  const float wy = normalY_ * halfWidth_;
  for (size_t i = 0; i + 1 < points_.size(); ++i) {
    const BoltPoint& p = points_[i];
    const BoltPoint& q = points_[i + 1];
    const Vertex corners[4] = {{p.x + wx, p.y + wy, 0.0f, 0.0f},
                               {q.x + wx, q.y + wy, 1.0f, 0.0f},
                               {q.x - wx, q.y - wy, 1.0f, 1.0f},
                               {p.x - wx, p.y - wy, 0.0f, 1.0f}};
    renderer->DrawQuad(corners, 1.0f, 1.0f, 1.0f, 1.0f);
  }
}

}  // namespace tav
