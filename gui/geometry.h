// Points and rectangles of the GUI, in the 800x600 screen space (origin at the
// bottom-left corner, y upwards), with the hit tests every control uses.
#pragma once

#include <cmath>

namespace tav {

struct Vec2 {
  float x = 0.0f;
  float y = 0.0f;

  Vec2() = default;
  Vec2(float xValue, float yValue) : x(xValue), y(yValue) {}

  Vec2 operator+(Vec2 other) const { return {x + other.x, y + other.y}; }
  Vec2 operator-(Vec2 other) const { return {x - other.x, y - other.y}; }
  Vec2 operator*(float factor) const { return {x * factor, y * factor}; }
  bool operator==(const Vec2&) const = default;
  float Length() const { return std::sqrt(x * x + y * y); }
};

// An axis-aligned rectangle, kept as its maximum corner (x1, y1) followed by its
// minimum corner (x0, y0). The left, right and bottom edges belong to it, the top
// edge does not, so two rectangles stacked on top of each other share no point.
struct Rect {
  float x1 = 0.0f, y1 = 0.0f;  // maximum corner
  float x0 = 0.0f, y0 = 0.0f;  // minimum corner

  Rect() = default;
  Rect(float minX, float minY, float maxX, float maxY) { Set(minX, minY, maxX, maxY); }

  // Takes the minimum corner first, then the maximum corner.
  void Set(float minX, float minY, float maxX, float maxY) {
    x0 = minX;
    y0 = minY;
    x1 = maxX;
    y1 = maxY;
  }

  // The rectangle reaching halfSize to every side of centre.
  static Rect Centred(Vec2 centre, Vec2 halfSize) {
    return Rect(centre.x - halfSize.x, centre.y - halfSize.y, centre.x + halfSize.x,
                centre.y + halfSize.y);
  }

  bool Contains(Vec2 point) const {
    const float dx = point.x - x0;
    const float dy = point.y - y0;
    return dx >= 0.0f && dx <= x1 - x0 && dy >= 0.0f && dy < y1 - y0;
  }

  Vec2 Min() const { return {x0, y0}; }
  Vec2 Max() const { return {x1, y1}; }
  float Width() const { return x1 - x0; }
  float Height() const { return y1 - y0; }
};

}  // namespace tav
