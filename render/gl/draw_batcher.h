// Collects the renderer's quads and triangles into one client-side vertex array and
// hands each run of draws that share texture, filter, blend and primitive to the
// graphics library in one call. State the library already has is not set again:
// the bound texture, the blend, and the filter each texture was last given. Kept apart
// from GL behind BatchTarget so that the flush rules can be checked without a screen.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "render/renderer.h"

namespace tav {

// One vertex as it goes to GL: position, texture coordinate, colour.
struct BatchVertex {
  float x, y, u, v;
  float r, g, b, a;
};

enum class Primitive { kQuads, kTriangles };

// What the batcher asks of the graphics library.
class BatchTarget {
 public:
  virtual ~BatchTarget() = default;
  virtual void BindTexture(unsigned name) = 0;
  // Minification and magnification filter of the bound texture (kFilterNearest or
  // kFilterLinear).
  virtual void SetTextureFilter(int filter) = 0;
  // kBlendNone, kBlendNormal or kBlendMultiply.
  virtual void SetBlend(int mode) = 0;
  virtual void DrawVertices(Primitive primitive, const BatchVertex* vertices,
                            size_t count) = 0;
};

class DrawBatcher {
 public:
  // Vertices held before a flush is forced.
  static constexpr size_t kCapacity = 6000;

  explicit DrawBatcher(BatchTarget& target);

  // --- The renderer's current state; a change takes effect at the next draw.
  void BindTexture(unsigned name) { texture_ = name; }
  // 1, 2 and 3 select a blend; any other value leaves the blend as it was.
  void SetBlendMode(int mode);
  // kFilterLinear is linear, every other value nearest.
  void SetFilter(int filter) { filter_ = filter; }
  unsigned BoundTexture() const { return texture_; }

  // The current texture, filter and blend, to put back after the back-end drew
  // something of its own through the batcher.
  struct UserState {
    unsigned texture;
    int filter;
    int blend;
  };
  UserState SaveUserState() const { return {texture_, filter_, blend_}; }
  void RestoreUserState(const UserState& state);

  // Adds one quad (4 vertices) or triangle (3) in the current state, all vertices in
  // one colour. A picture known to be opaque, drawn at alpha 1 in normal blend, is
  // drawn without blending: the result is the same, without reading the screen. A
  // blended draw at alpha 0 changes nothing and is dropped.
  void Draw(Primitive primitive, const Vertex* vertices, int count, float red, float green,
            float blue, float alpha);
  // Hands the held vertices to the target.
  void Flush();
  size_t PendingVertexCount() const { return vertices_.size(); }

  // --- Bookkeeping of textures and of GL state changed outside the batcher.
  // Call before anything binds a texture or changes GL state directly.
  void FlushBeforeOutsideChange() { Flush(); }
  // A texture was just uploaded: GL has it bound with the nearest filter, and it is
  // the renderer's current texture, as after an explicit bind. `opaque`: every pixel
  // has alpha 255.
  void TextureCreated(unsigned name, bool opaque);
  // Flushes and forgets the texture; if it was bound, GL now has texture 0 bound.
  void TextureDestroyed(unsigned name);
  // The texture GL has bound was changed from outside.
  void NoteBoundTexture(unsigned name);
  // GL's blend and bound texture are no longer known (a new context).
  void ForgetState();

 private:
  struct RunState {
    unsigned texture = 0;
    int filter = kFilterNearest;
    int blend = kBlendNormal;
    Primitive primitive = Primitive::kQuads;
    bool operator==(const RunState&) const = default;
  };

  bool IsOpaque(unsigned texture) const;
  void Apply(const RunState& state);

  BatchTarget& target_;
  // The renderer's current state.
  unsigned texture_ = 0;
  int filter_ = kFilterNearest;
  int blend_ = kBlendNormal;
  // The held vertices and the state they are drawn in.
  std::vector<BatchVertex> vertices_;
  RunState run_;
  // What GL has now.
  bool glTextureKnown_ = false;
  unsigned glTexture_ = 0;
  int glBlend_ = 0;  // 0: not known
  // The filter each texture was last given, and which textures are opaque.
  std::unordered_map<unsigned, int> textureFilters_;
  std::unordered_map<unsigned, bool> opaqueTextures_;
};

}  // namespace tav
