// The draw batcher of the OpenGL back-end.
#include "render/gl/draw_batcher.h"

namespace tav {

DrawBatcher::DrawBatcher(BatchTarget& target) : target_(target) {
  vertices_.reserve(kCapacity);
}

void DrawBatcher::SetBlendMode(int mode) {
  if (mode == kBlendNone || mode == kBlendNormal || mode == kBlendMultiply) blend_ = mode;
}

void DrawBatcher::RestoreUserState(const UserState& state) {
  texture_ = state.texture;
  filter_ = state.filter;
  blend_ = state.blend;
}

bool DrawBatcher::IsOpaque(unsigned texture) const {
  const auto found = opaqueTextures_.find(texture);
  return found != opaqueTextures_.end() && found->second;
}

void DrawBatcher::Draw(Primitive primitive, const Vertex* vertices, int count, float red,
                       float green, float blue, float alpha) {
  // Blended at alpha 0 a draw leaves every pixel as it was (source times 0 plus the
  // destination), so it is not drawn at all.
  if (alpha == 0.0f && blend_ != kBlendNone) return;
  RunState state;
  state.texture = texture_;
  state.filter = filter_ == kFilterLinear ? kFilterLinear : kFilterNearest;
  state.blend = blend_;
  if (blend_ == kBlendNormal && alpha == 1.0f && IsOpaque(texture_)) state.blend = kBlendNone;
  state.primitive = primitive;
  if (!vertices_.empty() &&
      (!(state == run_) || vertices_.size() + static_cast<size_t>(count) > kCapacity)) {
    Flush();
  }
  run_ = state;
  for (int i = 0; i < count; ++i) {
    vertices_.push_back({vertices[i].x, vertices[i].y, vertices[i].u, vertices[i].v, red,
                         green, blue, alpha});
  }
}

void DrawBatcher::Apply(const RunState& state) {
  if (!glTextureKnown_ || glTexture_ != state.texture) {
    target_.BindTexture(state.texture);
    glTextureKnown_ = true;
    glTexture_ = state.texture;
  }
  const auto filter = textureFilters_.find(state.texture);
  if (filter == textureFilters_.end() || filter->second != state.filter) {
    target_.SetTextureFilter(state.filter);
    textureFilters_[state.texture] = state.filter;
  }
  if (glBlend_ != state.blend) {
    target_.SetBlend(state.blend);
    glBlend_ = state.blend;
  }
}

void DrawBatcher::Flush() {
  if (vertices_.empty()) return;
  Apply(run_);
  target_.DrawVertices(run_.primitive, vertices_.data(), vertices_.size());
  vertices_.clear();
}

void DrawBatcher::TextureCreated(unsigned name, bool opaque) {
  Flush();
  NoteBoundTexture(name);
  texture_ = name;
  textureFilters_[name] = kFilterNearest;
  opaqueTextures_[name] = opaque;
}

void DrawBatcher::TextureDestroyed(unsigned name) {
  Flush();
  textureFilters_.erase(name);
  opaqueTextures_.erase(name);
  if (glTextureKnown_ && glTexture_ == name) glTexture_ = 0;
  if (texture_ == name) texture_ = 0;
}

void DrawBatcher::NoteBoundTexture(unsigned name) {
  glTextureKnown_ = true;
  glTexture_ = name;
}

void DrawBatcher::ForgetState() {
  vertices_.clear();
  glTextureKnown_ = false;
  glBlend_ = 0;
  textureFilters_.clear();
  opaqueTextures_.clear();
}

}  // namespace tav
