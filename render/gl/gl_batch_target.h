// The draw batcher's requests (render/gl/draw_batcher.h) as OpenGL 1.1 calls.
#pragma once

#include "render/gl/draw_batcher.h"

namespace tav {

class GLBatchTarget : public BatchTarget {
 public:
  void BindTexture(unsigned name) override;
  void SetTextureFilter(int filter) override;
  void SetPlainTexels(bool plain) override;
  void Clear(float red, float green, float blue) override;
  void SetBlend(int mode) override;
  void DrawVertices(Primitive primitive, const BatchVertex* vertices, size_t count) override;
};

}  // namespace tav
