// Every picture the game draws, loaded once by file name from the package with
// its Data\Textures.ini settings, and owned here until Clear(). A ".tga" picture may
// also come from the twice-size set (Data\data@2x.pkg beside data.pkg), for drawing
// at a large screen's own resolution; its sizes stay in the game's 800x600 units
// either way, so every draw keeps its size, and only the set in use is held.
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
  // Picture pixels per game unit of its textures: 2 when made from the twice-size set.
  int scale = 1;
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

  // --- The twice-size picture set.
  // Where its package is; empty (the default) when there is none.
  void SetSharpPackage(const std::string& path) { sharpPackage_ = path; }
  // Whether the twice-size set can be used: its package opens as a package with at
  // least one entry.
  bool SharpSetPresent() const;
  // Remakes every loaded ".tga" picture from the set of `scale` (1: the game's own,
  // 2: the twice-size one) and makes later ones from it; each picture's textures from
  // the other set are released. A picture the twice-size set lacks or holds in a wrong
  // size keeps its own (logged).
  void UsePictureScale(int scale);
  int PictureScale() const { return scale_; }
  // Makes `texture` from picture `name` of the set of `scale`: the twice-size one,
  // which must be exactly twice `width` x `height` at the same depth, or the game's
  // own read again, which must still be `width` x `height`. False (logged) when it
  // cannot, with `texture` untouched.
  bool MakePictureTexture(const std::string& name, int scale, int width, int height,
                          int bitsPerPixel, RendererTexture& texture) const;
  // Makes the first texture of ".tga" picture `name`, whose own file holds `bytes`,
  // from the set in use: with the twice-size set in use and holding the picture, only
  // that one is uploaded. Reports the picture's size in game units, its depth and the
  // scale it was made at. False when the picture's own file cannot be made a texture.
  bool MakeTextureInUse(const std::string& name, const uint8_t* bytes, size_t byteCount,
                        int* width, int* height, int* bitsPerPixel, int* madeScale,
                        RendererTexture& texture) const;

 private:
  // False when a fatal report was made and did not raise.
  bool Load(Texture& texture);
  // Makes a ".tga" picture's texture from the set in use, when it is from the other.
  void RemakeTga(Texture& texture);
  std::vector<std::unique_ptr<Texture>> textures_;  // in load order
  // The loaded Textures by lower-case name: the effects ask for pictures by name
  // for every particle of every frame.
  std::unordered_map<std::string, Texture*> byLowerName_;
  std::string sharpPackage_;
  int scale_ = 1;
};

}  // namespace tav
