// A Renderer for tests: records every call as plain data and draws nothing.
#include "render/recording_renderer.h"

#include <utility>

#include "render/tga_decoder.h"

namespace tav {

RecordingRenderer::RecordingRenderer(int kind) : Renderer(kind) {
  scratch_.vertices.reserve(4);  // so that drawing with recording off never allocates
}

RecordedCall& RecordingRenderer::Record(const char* op) {
  if (!recording_) return scratch_;
  calls_.emplace_back();
  calls_.back().op = op;
  return calls_.back();
}

// Both words carry the same name so that the texture can be recognised whatever
// kind this renderer pretends to be.
unsigned RecordingRenderer::NewName(RendererTexture& texture) {
  unsigned name = nextName_++;
  texture.glName = name;
  texture.d3dTexture = name;
  ++created_;
  return name;
}

void RecordingRenderer::Init(int width, int height, int bitsPerPixel, bool fullScreen) {
  RecordedCall& call = Record("Init");
  call.width = width;
  call.height = height;
  call.bitsPerPixel = bitsPerPixel;
  call.fullScreen = fullScreen;
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  initialised_ = true;
}

bool RecordingRenderer::BeginFrame() {
  Record("BeginFrame").result = beginFrameResult_;
  return beginFrameResult_;
}

void RecordingRenderer::BeginScene() { Record("BeginScene"); }

void RecordingRenderer::EndFrame() { Record("EndFrame"); }

void RecordingRenderer::Shutdown() {
  Record("Shutdown");
  initialised_ = false;
}

void RecordingRenderer::DestroyTexture(RendererTexture& texture) {
  unsigned name = texture.glName ? texture.glName : static_cast<unsigned>(texture.d3dTexture);
  Record("DestroyTexture").texture = name;
  if (live_.erase(name) > 0) ++destroyed_;
  if (bound_ == name) bound_ = 0;
  texture.glName = 0;
  texture.d3dTexture = 0;
}

bool RecordingRenderer::CreateTextureFromPixels(const uint8_t* pixels, int width, int height,
                                                int bitsPerPixel, RendererTexture& texture) {
  RecordedCall& call = Record("CreateTextureFromPixels");
  call.width = width;
  call.height = height;
  call.bitsPerPixel = bitsPerPixel;
  if (creationFails_ || width < 0 || height < 0 ||
      (bitsPerPixel != 24 && bitsPerPixel != 32)) {
    call.result = false;
    return false;
  }
  RecordedTexture recorded;
  recorded.width = width;
  recorded.height = height;
  recorded.bitsPerPixel = bitsPerPixel;
  size_t byteCount = static_cast<size_t>(width) * static_cast<size_t>(height) *
                     static_cast<size_t>(bitsPerPixel / 8);
  if (pixels != nullptr) {
    recorded.pixels.assign(pixels, pixels + byteCount);
    SwapRedAndBlue(recorded.pixels.data(),
                   static_cast<size_t>(width) * static_cast<size_t>(height), bitsPerPixel / 8);
  }
  unsigned name = NewName(texture);
  call.texture = name;
  live_[name] = std::move(recorded);
  return true;
}

bool RecordingRenderer::CreateTextureFromTga(const uint8_t* bytes, size_t byteCount,
                                             int* width, int* height, int* bitsPerPixel,
                                             RendererTexture& texture) {
  RecordedCall& call = Record("CreateTextureFromTga");
  call.result = false;
  DecodedImage image;
  const bool decoded = DecodeTga(bytes, byteCount, &image);
  call.width = image.width;
  call.height = image.height;
  call.bitsPerPixel = image.bitsPerPixel;
  if (width) *width = image.width;
  if (height) *height = image.height;
  if (bitsPerPixel) *bitsPerPixel = image.bitsPerPixel;
  if (!decoded || creationFails_) return false;

  RecordedTexture recorded;
  recorded.width = image.width;
  recorded.height = image.height;
  recorded.bitsPerPixel = image.bitsPerPixel;
  recorded.fromTga = true;
  recorded.pixels = std::move(image.pixels);
  unsigned name = NewName(texture);
  call.texture = name;
  call.result = true;
  live_[name] = std::move(recorded);
  return true;
}

void RecordingRenderer::BindTexture(uintptr_t d3dTexture, unsigned glName) {
  unsigned name = glName ? glName : static_cast<unsigned>(d3dTexture);
  Record("BindTexture").texture = name;
  bound_ = name;
}

void RecordingRenderer::Clear(float red, float green, float blue) {
  RecordedCall& call = Record("Clear");
  call.red = red;
  call.green = green;
  call.blue = blue;
  call.alpha = 1.0f;
}

void RecordingRenderer::RecordDraw(const char* op, const Vertex* vertices, int count,
                                   float red, float green, float blue, float alpha) {
  RecordedCall& call = Record(op);
  call.vertices.assign(vertices, vertices + count);
  call.red = red;
  call.green = green;
  call.blue = blue;
  call.alpha = alpha;
  call.boundTexture = bound_;
  call.blendMode = blendMode_;
  call.filter = filter_;
}

void RecordingRenderer::DrawQuad(const Vertex vertices[4], float red, float green, float blue,
                                 float alpha) {
  RecordDraw("DrawQuad", vertices, 4, red, green, blue, alpha);
}

void RecordingRenderer::DrawTriangle(const Vertex vertices[3], float red, float green,
                                     float blue, float alpha) {
  RecordDraw("DrawTriangle", vertices, 3, red, green, blue, alpha);
}

void RecordingRenderer::SetBlendMode(int mode) {
  Record("SetBlendMode").mode = mode;
  blendMode_ = mode;
}

void RecordingRenderer::SetFilter(int mode) {
  Record("SetFilter").mode = mode;
  filter_ = mode;
}

std::vector<RecordedCall> RecordingRenderer::CallsNamed(const std::string& op) const {
  std::vector<RecordedCall> found;
  for (const RecordedCall& call : calls_)
    if (call.op == op) found.push_back(call);
  return found;
}

size_t RecordingRenderer::CountOf(const std::string& op) const {
  size_t count = 0;
  for (const RecordedCall& call : calls_)
    if (call.op == op) ++count;
  return count;
}

std::vector<RecordedCall> RecordingRenderer::Draws() const {
  std::vector<RecordedCall> found;
  for (const RecordedCall& call : calls_)
    if (call.op == "DrawQuad" || call.op == "DrawTriangle") found.push_back(call);
  return found;
}

const RecordedTexture* RecordingRenderer::FindTexture(unsigned name) const {
  auto found = live_.find(name);
  return found == live_.end() ? nullptr : &found->second;
}

}  // namespace tav
