// The draw batcher of the OpenGL back-end.
#include "render/gl/draw_batcher.h"

#include <algorithm>

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
  state.plainTexels = red == 1.0f && green == 1.0f && blue == 1.0f && alpha == 1.0f;
  state.primitive = primitive;
  if (!vertices_.empty() &&
      (!(state == run_) || vertices_.size() + static_cast<size_t>(count) > kCapacity)) {
    Flush();
  }
  run_ = state;
  for (int i = 0; i < count; ++i) {
    vertices_.push_back(
        {vertices[i].x, vertices[i].y, vertices[i].u, vertices[i].v, red, green, blue, alpha});
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
  if (glPlainTexels_ != static_cast<int>(state.plainTexels)) {
    target_.SetPlainTexels(state.plainTexels);
    glPlainTexels_ = state.plainTexels;
  }
}

void DrawBatcher::DrawRun(const RunState& state, const BatchVertex* vertices, size_t count) {
  if (state.primitive == Primitive::kClear) {
    target_.Clear(vertices[0].r, vertices[0].g, vertices[0].b);
    return;
  }
  Apply(state);
  target_.DrawVertices(state.primitive, vertices, count);
}

void DrawBatcher::Flush() {
  if (vertices_.empty()) return;
  if (recording_) {
    frame_.runs.push_back({run_, frame_.vertices.size(), vertices_.size()});
    frame_.vertices.insert(frame_.vertices.end(), vertices_.begin(), vertices_.end());
  } else {
    DrawRun(run_, vertices_.data(), vertices_.size());
  }
  vertices_.clear();
}

void DrawBatcher::StartRecording() {
  Flush();
  frame_.runs.clear();
  frame_.vertices.clear();
  frame_.comparable = true;
  recording_ = true;
}

void DrawBatcher::RecordClear(float red, float green, float blue) {
  Flush();
  if (!recording_) {
    target_.Clear(red, green, blue);
    return;
  }
  RunState state;
  state.primitive = Primitive::kClear;
  frame_.runs.push_back({state, frame_.vertices.size(), 1});
  frame_.vertices.push_back({0, 0, 0, 0, red, green, blue, 1});
}

void DrawBatcher::StopRecording() {
  Flush();
  recording_ = false;
}

void DrawBatcher::DrawRecorded(size_t first, size_t end) {
  end = std::min(end, frame_.runs.size());
  for (size_t i = first; i < end; ++i) {
    const RecordedRun& run = frame_.runs[i];
    DrawRun(run.state, frame_.vertices.data() + run.first, run.count);
  }
}

void DrawBatcher::DrawRecordedWithin(size_t first, size_t end, const PixelBox& box) {
  end = std::min(end, frame_.runs.size());
  for (size_t i = first; i < end; ++i) {
    const RecordedRun& run = frame_.runs[i];
    const BatchVertex* vertices = frame_.vertices.data() + run.first;
    if (run.state.primitive == Primitive::kClear) {
      DrawRun(run.state, vertices, run.count);
      continue;
    }
    const size_t corners = run.state.primitive == Primitive::kQuads ? 4 : 3;
    withinBox_.clear();
    for (size_t shape = 0; shape + corners <= run.count; shape += corners) {
      if (ShapeMeetsBox(vertices + shape, corners, box)) {
        withinBox_.insert(withinBox_.end(), vertices + shape, vertices + shape + corners);
      }
    }
    if (!withinBox_.empty()) DrawRun(run.state, withinBox_.data(), withinBox_.size());
  }
}

void DrawBatcher::GiveUpRecording() {
  StopRecording();
  DrawRecorded(0, frame_.runs.size());
  frame_.Clear();
  previousFrame_.comparable = false;
}

void DrawBatcher::FlushBeforeOutsideChange() {
  if (recording_) GiveUpRecording();
  Flush();
}

void DrawBatcher::KeepFrameForComparison() {
  std::swap(frame_, previousFrame_);
  frame_.Clear();
}

void DrawBatcher::TextureCreated(unsigned name, bool opaque) {
  FlushBeforeOutsideChange();
  // GL hands out the names of deleted textures again: a run of the frame before may
  // name a texture that no longer holds the same picture.
  previousFrame_.comparable = false;
  NoteBoundTexture(name);
  texture_ = name;
  textureFilters_[name] = kFilterNearest;
  opaqueTextures_[name] = opaque;
}

void DrawBatcher::TextureDestroyed(unsigned name) {
  FlushBeforeOutsideChange();
  previousFrame_.comparable = false;
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
  recording_ = false;
  frame_ = RecordedFrame();
  previousFrame_ = RecordedFrame();
  glTextureKnown_ = false;
  glBlend_ = 0;
  glPlainTexels_ = -1;
  textureFilters_.clear();
  opaqueTextures_.clear();
}

}  // namespace tav
