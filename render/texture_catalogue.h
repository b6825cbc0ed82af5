// Every picture the game draws, loaded once by file name from the package with
// its Data\Textures.ini settings, and owned here until Clear().
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/renderer.h"

namespace tav {

// One named frame sequence of a Texture. Destroying it frees its renderer textures.
class SpriteAction {
 public:
  SpriteAction() = default;
  ~SpriteAction();
  SpriteAction(const SpriteAction&) = delete;
  SpriteAction& operator=(const SpriteAction&) = delete;

  std::string name = "Loop";
  std::vector<RendererTexture> frames;
};

class Texture {
 public:
  const std::string& Name() const { return name; }
  int Width() const { return width; }
  int Height() const { return height; }
  int BitsPerPixel() const { return bitsPerPixel; }
  int ActionCount() const { return static_cast<int>(actions.size()); }
  SpriteAction* Action(int index);
  // Case-insensitive; when several actions share the name, the last one wins.
  SpriteAction* FindAction(const std::string& actionName);
  const std::string& FirstActionName() const;

  std::string name;
  std::vector<std::unique_ptr<SpriteAction>> actions;
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int blendMode = kBlendNone;
  int filter = kFilterNearest;
  float frameDuration = 0.04f;
  int boundingBox[4] = {0, 0, 0, 0};  // x1, y1, x2, y2
  unsigned char mode = 0;             // 0 static, 1 dynamic
  unsigned char collision = 1;        // 1 true, 0 false
  std::string currentActionName;
};

class TextureCatalogue {
 public:
  static TextureCatalogue& Instance();

  // Returns the Texture named `name` (case-insensitive), loading it on first use.
  // A failed load is a fatal report.
  Texture& Get(const std::string& name);
  // Destroys every Texture; must run before the renderer shuts down.
  void Clear();
  size_t Count() const { return textures_.size(); }

 private:
  // False when a fatal report was made and did not raise.
  bool Load(Texture& texture);
  std::vector<std::unique_ptr<Texture>> textures_;  // in load order
  // The loaded Textures by lower-case name: the effects ask for pictures by name
  // for every particle of every frame.
  std::unordered_map<std::string, Texture*> byLowerName_;
};

}  // namespace tav
