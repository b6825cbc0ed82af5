// The OpenGL entry points beyond 1.1 that the back-end uses, looked up through the
// platform once the context exists: framebuffer objects (OpenGL 3.0,
// GL_ARB_framebuffer_object or GL_EXT_framebuffer_object), through which the picture
// is drawn straight into a texture. Also the OpenGL 1.2 names the Windows headers
// (OpenGL 1.1) lack.
#pragma once

#include <GL/gl.h>

#include <memory>

#include "platform/platform.h"

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif
#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif
#ifndef APIENTRY
#define APIENTRY
#endif

namespace tav {

struct FramebufferFunctions {
  static constexpr GLenum kFramebuffer = 0x8D40;
  static constexpr GLenum kColorAttachment0 = 0x8CE0;
  static constexpr GLenum kFramebufferComplete = 0x8CD5;

  void(APIENTRY* generate)(GLsizei, GLuint*) = nullptr;
  void(APIENTRY* remove)(GLsizei, const GLuint*) = nullptr;
  void(APIENTRY* bind)(GLenum, GLuint) = nullptr;
  void(APIENTRY* attachTexture)(GLenum, GLenum, GLenum, GLuint, GLint) = nullptr;
  GLenum(APIENTRY* status)(GLenum) = nullptr;
};

// The framebuffer functions of the current context, with the suffix their source
// uses, or null when it offers none (or one is missing).
std::unique_ptr<FramebufferFunctions> LoadFramebufferFunctions(Platform& platform);

// Whether the current context takes textures of any size (OpenGL 2.0 and later), so
// that copies of the picture need no power-of-two padding.
bool AnySizeTexturesOffered();

}  // namespace tav
