// A Renderer that draws nothing and writes down every call with its arguments as
// plain data, so tests can check what a piece of drawing code asked for. It hands
// out increasing texture names, keeps the pixels of every texture it was given
// (TGA files decoded as the OpenGL back-end does) and can pretend to be any
// renderer kind (the font's metrics depend on it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "render/renderer.h"

namespace tav {

// One renderer call. Only the fields that the operation has are filled.
struct RecordedCall {
  std::string op;                // the operation's name: "DrawQuad", "SetBlendMode", ...
  std::vector<Vertex> vertices;  // DrawQuad: 4, DrawTriangle: 3
  float red = 0, green = 0, blue = 0, alpha = 0;  // Clear, DrawQuad, DrawTriangle
  int mode = 0;           // SetBlendMode, SetFilter
  unsigned texture = 0;   // BindTexture, Create*, DestroyTexture: the texture's name
  int width = 0, height = 0, bitsPerPixel = 0;  // Init, Create*
  bool fullScreen = false;                      // Init
  bool result = true;     // BeginFrame, Create*
  // The renderer state when a DrawQuad/DrawTriangle was made.
  unsigned boundTexture = 0;
  int blendMode = 0;
  int filter = 0;
};

// What the renderer knows about a texture it created.
struct RecordedTexture {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  // R, G, B (, A) per pixel, first row = top row, as the OpenGL back-end uploads
  // them, whatever the source was.
  std::vector<uint8_t> pixels;
  bool fromTga = false;
};

class RecordingRenderer : public Renderer {
 public:
  explicit RecordingRenderer(int kind = kRendererRecording);

  void Init(int width, int height, int bitsPerPixel, bool fullScreen) override;
  bool BeginFrame() override;
  void BeginScene() override;
  void EndFrame() override;
  void Shutdown() override;
  void DestroyTexture(RendererTexture& texture) override;
  bool CreateTextureFromPixels(const uint8_t* pixels, int width, int height,
                               int bitsPerPixel, RendererTexture& texture) override;
  bool CreateTextureFromTga(const uint8_t* bytes, size_t byteCount, int* width, int* height,
                            int* bitsPerPixel, RendererTexture& texture) override;
  using Renderer::BindTexture;
  void BindTexture(uintptr_t d3dTexture, unsigned glName) override;
  void Clear(float red, float green, float blue) override;
  void DrawQuad(const Vertex vertices[4], float red, float green, float blue,
                float alpha) override;
  void DrawTriangle(const Vertex vertices[3], float red, float green, float blue,
                    float alpha) override;
  void SetBlendMode(int mode) override;
  void SetFilter(int mode) override;

  // Every call since construction or the last ClearCalls, in order.
  const std::vector<RecordedCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // The calls of one operation, in order.
  std::vector<RecordedCall> CallsNamed(const std::string& op) const;
  size_t CountOf(const std::string& op) const;
  // DrawQuad and DrawTriangle calls, in order.
  std::vector<RecordedCall> Draws() const;

  // Textures created and not yet destroyed, by name.
  const std::map<unsigned, RecordedTexture>& LiveTextures() const { return live_; }
  const RecordedTexture* FindTexture(unsigned name) const;
  int CreatedTextureCount() const { return created_; }
  int DestroyedTextureCount() const { return destroyed_; }
  unsigned BoundTexture() const { return bound_; }
  bool Initialised() const { return initialised_; }

  // Test controls: what BeginFrame answers, and whether texture creation fails.
  void SetBeginFrameResult(bool result) { beginFrameResult_ = result; }
  void SetTextureCreationFails(bool fails) { creationFails_ = fails; }
  // With recording off the calls only change the state (bound texture, modes,
  // textures): nothing is stored, so a steady frame allocates nothing.
  void SetRecording(bool recording) { recording_ = recording; }

 private:
  RecordedCall& Record(const char* op);
  void RecordDraw(const char* op, const Vertex* vertices, int count, float red, float green,
                  float blue, float alpha);
  unsigned NewName(RendererTexture& texture);

  std::vector<RecordedCall> calls_;
  std::map<unsigned, RecordedTexture> live_;
  unsigned nextName_ = 1;
  unsigned bound_ = 0;
  int created_ = 0;
  int destroyed_ = 0;
  bool initialised_ = false;
  bool beginFrameResult_ = true;
  bool creationFails_ = false;
  bool recording_ = true;
  RecordedCall scratch_;  // written instead of a new record while recording is off
};

}  // namespace tav
