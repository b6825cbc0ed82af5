// The batcher's requests as OpenGL 1.1 calls.
#include "render/gl/gl_batch_target.h"

#include <GL/gl.h>

namespace tav {

void GLBatchTarget::BindTexture(unsigned name) { glBindTexture(GL_TEXTURE_2D, name); }

void GLBatchTarget::SetTextureFilter(int filter) {
  const GLint glFilter = filter == kFilterLinear ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, glFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, glFilter);
}

void GLBatchTarget::SetPlainTexels(bool plain) {
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, plain ? GL_REPLACE : GL_MODULATE);
}

void GLBatchTarget::Clear(float red, float green, float blue) {
  glClearColor(red, green, blue, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

void GLBatchTarget::SetBlend(int mode) {
  switch (mode) {
    case kBlendNone:
      glDisable(GL_BLEND);
      break;
    case kBlendNormal:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      break;
    case kBlendMultiply:
      // Named "multiply" in the picture settings, but drawn additively.
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      break;
    default:
      break;
  }
}

void GLBatchTarget::DrawVertices(Primitive primitive, const BatchVertex* vertices, size_t count) {
  const GLsizei stride = sizeof(BatchVertex);
  glVertexPointer(2, GL_FLOAT, stride, &vertices[0].x);
  glTexCoordPointer(2, GL_FLOAT, stride, &vertices[0].u);
  glColorPointer(4, GL_FLOAT, stride, &vertices[0].r);
  glDrawArrays(primitive == Primitive::kQuads ? GL_QUADS : GL_TRIANGLES, 0,
               static_cast<GLsizei>(count));
}

}  // namespace tav
