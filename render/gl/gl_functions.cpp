// Looking up the OpenGL functions beyond 1.1.
#include "render/gl/gl_functions.h"

#include <string>

namespace tav {

namespace {

// The major version at the start of GL_VERSION ("4.5 (Compatibility Profile) Mesa").
int MajorVersion() {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (version == nullptr || version[0] < '1' || version[0] > '9') return 1;
  return version[0] - '0';
}

}  // namespace

std::unique_ptr<FramebufferFunctions> LoadFramebufferFunctions(Platform& platform) {
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  std::string suffix;
  if (MajorVersion() >= 3 || ExtensionListed(extensions, "GL_ARB_framebuffer_object")) {
    suffix = "";
  } else if (ExtensionListed(extensions, "GL_EXT_framebuffer_object")) {
    suffix = "EXT";
  } else {
    return nullptr;
  }
  const auto find = [&](const char* name) {
    return platform.GLProcAddress((std::string(name) + suffix).c_str());
  };
  auto functions = std::make_unique<FramebufferFunctions>();
  functions->generate = reinterpret_cast<decltype(functions->generate)>(find("glGenFramebuffers"));
  functions->remove = reinterpret_cast<decltype(functions->remove)>(find("glDeleteFramebuffers"));
  functions->bind = reinterpret_cast<decltype(functions->bind)>(find("glBindFramebuffer"));
  functions->attachTexture =
      reinterpret_cast<decltype(functions->attachTexture)>(find("glFramebufferTexture2D"));
  functions->status =
      reinterpret_cast<decltype(functions->status)>(find("glCheckFramebufferStatus"));
  if (!functions->generate || !functions->remove || !functions->bind ||
      !functions->attachTexture || !functions->status) {
    return nullptr;
  }
  return functions;
}

bool AnySizeTexturesOffered() { return MajorVersion() >= 2; }

}  // namespace tav
