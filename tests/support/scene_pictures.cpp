// Procedural stand-ins for the game's pictures: enough shape and colour to judge
// placement, orientation, blending and layering in a screenshot.
#include "tests/support/scene_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "tests/support/tga_bytes.h"

namespace tav::test {
namespace {

struct Colour {
  float r, g, b, a;
};
// x to the right, y from the top, both in [0, 1) of the picture.
using Painter = std::function<Colour(float x, float y)>;

uint8_t Channel(float v) {
  return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f);
}

Bgra ToBgra(const Colour& c) {
  return {Channel(c.b), Channel(c.g), Channel(c.r), Channel(c.a)};
}

// A 32-bit TGA painted at the centre of each pixel.
void WriteTga(const std::string& path, int width, int height, const Painter& paint) {
  WriteBytes(
      path, MakeTga(width, height, 32, [&](int x, int yFromTop) {
        return ToBgra(paint((static_cast<float>(x) + 0.5f) / static_cast<float>(width),
                            (static_cast<float>(yFromTop) + 0.5f) / static_cast<float>(height)));
      }));
}

// A picture list of `frames` frames of one action "Loop", each painted by `paint`
// with the frame's index.
void WriteSpt(const std::string& path, int width, int height, int frames,
              const std::function<Colour(float, float, int)>& paint) {
  SptLayout layout;
  layout.width = width;
  layout.height = height;
  layout.corners = {0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
  layout.frameDuration = 0.08f;
  WriteBytes(path, MakeSpt(layout, {{"Loop", frames}}, [&](int serial) {
               std::vector<uint8_t> bytes;
               for (int row = 0; row < height; ++row) {  // frames are stored top row first
                 for (int column = 0; column < width; ++column) {
                   const Bgra c =
                       ToBgra(paint((column + 0.5f) / width, (row + 0.5f) / height, serial - 1));
                   bytes.insert(bytes.end(), {c.b, c.g, c.r, c.a});
                 }
               }
               return bytes;
             }));
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}
bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

Colour ColourNamed(const std::string& name) {
  if (Contains(name, "blue") || Contains(name, "Blue")) return {0.15f, 0.35f, 1.0f, 1};
  if (Contains(name, "red") || Contains(name, "Red")) return {1.0f, 0.15f, 0.1f, 1};
  if (Contains(name, "green") || Contains(name, "Green")) return {0.1f, 0.9f, 0.2f, 1};
  if (Contains(name, "moln")) return {1.0f, 0.95f, 0.2f, 1};
  if (Contains(name, "_no") || Contains(name, "No_")) return {0.55f, 0.55f, 0.55f, 1};
  return {1, 1, 1, 1};
}

// An arrow pointing up in the unit square, turned to `direction` (u, r, d, l).
bool InArrow(float x, float y, char direction) {
  // Turn the point back so that the arrow can be tested pointing up.
  float ux = x, uy = y;
  if (direction == 'r') {
    ux = 1.0f - y;
    uy = x;
  } else if (direction == 'd') {
    ux = 1.0f - x;
    uy = 1.0f - y;
  } else if (direction == 'l') {
    ux = y;
    uy = 1.0f - x;
  }
  uy = 1.0f - uy;  // from the bottom now: the head is at the top (uy near 1)
  const bool head = uy >= 0.5f && uy <= 0.92f && std::fabs(ux - 0.5f) <= (0.92f - uy) * 0.9f;
  const bool shaft = uy >= 0.1f && uy < 0.5f && std::fabs(ux - 0.5f) <= 0.12f;
  return head || shaft;
}

Painter ArrowPainter(const std::string& name, char direction, bool outline) {
  const Colour colour = ColourNamed(name);
  const bool rgb = Contains(name, "rgb");
  const bool bomb = StartsWith(name, "sterlkab");
  const bool no = Contains(name, "_no");
  return [=](float x, float y) -> Colour {
    const float edge = std::min(std::min(x, 1 - x), std::min(y, 1 - y));
    if (outline) {
      const bool in = InArrow(x, y, direction);
      const bool near = InArrow(x + 0.05f, y, direction) || InArrow(x - 0.05f, y, direction) ||
                        InArrow(x, y + 0.05f, direction) || InArrow(x, y - 0.05f, direction);
      return near && !in ? Colour{1, 1, 1, 1} : Colour{0, 0, 0, 0};
    }
    Colour tile{0.12f, 0.12f, 0.18f, edge < 0.04f ? 0.0f : 1.0f};
    if (bomb && std::hypot(x - 0.5f, y - 0.5f) < 0.42f) tile = {0.3f, 0.3f, 0.3f, 1};
    if (no && (std::fabs(x - y) < 0.05f || std::fabs(x + y - 1) < 0.05f)) {
      return {0.4f, 0.4f, 0.4f, 1};
    }
    if (!InArrow(x, y, direction)) return tile;
    if (rgb) {
      return x < 0.4f   ? Colour{1, 0.15f, 0.1f, 1}
             : x < 0.6f ? Colour{0.1f, 0.9f, 0.2f, 1}
                        : Colour{0.15f, 0.35f, 1, 1};
    }
    return colour;
  };
}

Painter Glow(Colour colour, float ring = 0.0f) {
  return [=](float x, float y) -> Colour {
    const float d = std::hypot(x - 0.5f, y - 0.5f) * 2.0f;
    float a = std::max(0.0f, 1.0f - d);
    if (ring > 0) a = std::max(0.0f, 1.0f - std::fabs(d - ring) * 6.0f);
    return {colour.r * a, colour.g * a, colour.b * a, a};
  };
}

Painter Flat(Colour colour) {
  return [=](float, float) { return colour; };
}

// A framed box: a border of `border` (fraction of the size) around the fill.
Painter Box(Colour fill, Colour border, float width = 0.06f) {
  return [=](float x, float y) {
    const float edge = std::min(std::min(x, 1 - x), std::min(y, 1 - y));
    return edge < width ? border : fill;
  };
}

Painter PainterFor(const std::string& name) {
  if (StartsWith(name, "sterlka_") || StartsWith(name, "sterlkab_")) {
    const char direction = name[name.find('_') + 1];
    return ArrowPainter(name, direction, name.size() == std::string("sterlka_u.tga").size());
  }
  if (Contains(name, "strelka_particle")) return Box(ColourNamed(name), {1, 1, 1, 1}, 0.15f);
  if (name == "bomb_flare.tga") return Glow({1.0f, 0.55f, 0.1f, 1});
  if (name == "moln_flare.tga") return Glow({1.0f, 1.0f, 0.4f, 1});
  if (name == "flare.tga") return Glow({0.6f, 1.0f, 0.6f, 1});
  if (name == "letter_sphere.tga") return Glow({0.8f, 0.3f, 1.0f, 1}, 0.7f);
  if (name == "letter_sphere1.tga") return Glow({0.4f, 0.6f, 1.0f, 1}, 0.45f);
  if (name == "kolco.tga") return Glow({1, 1, 1, 1}, 0.8f);
  if (name == "zvezda.tga" || name == "circle.tga") return Glow({1, 1, 0.5f, 1});
  if (name == "box.tga") return Box({0, 0, 0, 0}, {1, 0.9f, 0.3f, 1}, 0.1f);
  if (StartsWith(name, "moln")) {  // bolt bands: bright in the middle of v
    return [](float, float y) {
      const float a = std::max(0.0f, 1.0f - std::fabs(y - 0.5f) * 2.5f);
      return Colour{0.6f * a, 0.85f * a, 1.0f * a, a};
    };
  }
  if (name == "game_back.tga") {
    return [](float x, float y) {
      const bool dark = (static_cast<int>(x * 8) + static_cast<int>(y * 8)) % 2 == 0;
      return dark ? Colour{0.05f, 0.07f, 0.2f, 1} : Colour{0.08f, 0.1f, 0.26f, 1};
    };
  }
  if (name == "panel.tga") {  // a see-through grid of the 10 x 10 cells
    return [](float x, float y) {
      const float cx = x * 514.0f - 7.0f, cy = y * 514.0f - 7.0f;
      const bool line =
          std::fmod(cx + 500.0f, 50.0f) < 1.5f || std::fmod(cy + 500.0f, 50.0f) < 1.5f;
      return line ? Colour{0.5f, 0.5f, 0.7f, 0.6f} : Colour{0, 0, 0, 0.25f};
    };
  }
  if (StartsWith(name, "gamebavel")) return Box({0.45f, 0.3f, 0.15f, 1}, {0.7f, 0.5f, 0.25f, 1});
  if (name == "left_panel.tga") return Box({0.1f, 0.25f, 0.25f, 1}, {0.2f, 0.4f, 0.4f, 1}, 0.02f);
  if (name == "black_line.tga" || name == "Black.tga") return Flat({0, 0, 0, 1});
  if (name == "Indicator1.tga") return Box({0.15f, 0.15f, 0.15f, 1}, {0.5f, 0.5f, 0.5f, 1}, 0.04f);
  if (name == "Indicator2.tga") {
    return [](float x, float y) {
      const bool inside = x > 0.3f && x < 0.7f;
      return inside ? Colour{0.2f, 1.0f - 0.6f * y, 0.3f, 1} : Colour{0, 0, 0, 0};
    };
  }
  if (name.size() == 6 && name[1] == '0') return Box({0.2f, 0.2f, 0.2f, 1}, {0.6f, 0.6f, 0.6f, 1});
  if (name.size() == 6 && name[1] == '1') return Box({0.9f, 0.75f, 0.1f, 1}, {1, 1, 1, 1});
  if (Contains(name, "_panel.tga")) return Box({0.1f, 0.15f, 0.4f, 1}, {0.4f, 0.5f, 0.9f, 1});
  if (StartsWith(name, "button_")) {
    const Colour fill = Contains(name, "focus")  ? Colour{0.3f, 0.5f, 0.3f, 1}
                        : Contains(name, "down") ? Colour{0.2f, 0.2f, 0.5f, 1}
                                                 : Colour{0.25f, 0.25f, 0.3f, 1};
    return Box(fill, {0.8f, 0.8f, 0.8f, 1}, 0.05f);
  }
  if (StartsWith(name, "Hint")) return Box({0.1f, 0.1f, 0.1f, 0.7f}, {1, 1, 0.4f, 1});
  if (name == "level.tga") return Box({0.2f, 0.6f, 0.9f, 1}, {1, 1, 1, 1}, 0.15f);
  return Box({0.35f, 0.35f, 0.35f, 1}, {0.6f, 0.6f, 0.6f, 1});
}

// A font whose printable glyphs are blocks with a notch, six columns wide.
Colour FontPixel(float x, float y) {
  const int column = static_cast<int>(x * 256), row = static_cast<int>(y * 256);
  const int code = (row / 16) * 16 + column / 16;
  const int cx = column % 16, cy = row % 16;
  const bool ink = code > ' ' && code < 127 && cx < 6 && cy > 2 && cy < 13 &&
                   !(cx > 1 && cx < 4 && cy > 5 && cy < 10 && code % 2 == 0);
  return {1, 1, 1, ink ? 1.0f : 0.0f};
}

}  // namespace

void WriteScenePictures(const std::string& manifestPath, const std::string& dataFolder) {
  std::ifstream manifest(manifestPath);
  std::string line;
  while (std::getline(manifest, line)) {
    std::istringstream row(line);
    std::string kind, name, size;
    int bits = 0;
    if (!(row >> kind >> name >> size >> bits) || kind != "picture") continue;
    const size_t cross = size.find('x');
    const int width = std::stoi(size.substr(0, cross));
    const int height = std::stoi(size.substr(cross + 1));
    const std::string path = dataFolder + "/" + name;
    if (name == "xFont.tga") {
      WriteTga(path, width, height, FontPixel);
    } else if (name.size() > 4 && name.substr(name.size() - 4) == ".spt") {
      // A hand going round a dial.
      WriteSpt(path, width, height, 8, [](float x, float y, int frame) -> Colour {
        const float angle = static_cast<float>(frame) * 0.785f;
        const float dx = x - 0.5f, dy = 0.5f - y;
        const float along = dx * std::sin(angle) + dy * std::cos(angle);
        const float across = dx * std::cos(angle) - dy * std::sin(angle);
        const float d = std::hypot(dx, dy);
        if (along > 0 && along < 0.4f && std::fabs(across) < 0.06f) return {1, 1, 1, 1};
        return d < 0.45f ? Colour{0.9f, 0.7f, 0.1f, 1} : Colour{0, 0, 0, 0};
      });
    } else {
      WriteTga(path, width, height, PainterFor(name));
    }
  }
}

}  // namespace tav::test
