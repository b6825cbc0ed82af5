// Reads uncompressed TGA frames and writes ".spt" picture lists: a 60-byte header,
// then per action a 33-byte header (32-byte name, signed frame count) and its raw
// frames (B, G, R (, A), top row first).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tav {

// One decoded frame with its rows top first.
struct TgaFrame {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;  // 24 or 32
  std::vector<uint8_t> pixels;
};

// Reads an uncompressed 24- or 32-bit true-colour TGA. False with a reason.
bool ReadTgaFrame(const std::string& path, TgaFrame* frame, std::string* error);

struct PictureListAction {
  std::string name;                     // 1 to 31 characters
  std::vector<std::string> framePaths;  // 1 to 127 TGA files
};

struct PictureListSettings {
  float frameDuration = 0.04f;
  int32_t boundingBox[4] = {0, 0, 0, 0};  // x1, y1, x2, y2
  uint8_t mode = 0;                       // 0 static, 1 dynamic
  uint8_t collision = 1;                  // 1 true, 0 false
};

constexpr int kMaxFramesPerAction = 127;
constexpr size_t kMaxActionName = 31;

// Builds the picture list in memory. All frames must share one size and depth.
bool BuildPictureList(const PictureListSettings& settings,
                      const std::vector<PictureListAction>& actions, std::string* bytes,
                      std::string* error);
bool WritePictureList(const std::string& outputPath, const PictureListSettings& settings,
                      const std::vector<PictureListAction>& actions, std::string* error);

}  // namespace tav
