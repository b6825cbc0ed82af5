// Collects the renderer's quads and triangles into one client-side vertex array and
// hands each run of draws that share texture, filter, blend, colour use and primitive
// to the graphics library in one call. State the library already has is not set
// again: the bound texture, the blend, and the filter each texture was last given.
// While a frame is being recorded the runs are kept instead of drawn (as a
// RecordedFrame, render/gl/frame_record.h, which also holds what is worked out from
// two frames in a row), so that the back-end can compare the frame with the one before.
// Kept apart from GL behind BatchTarget so that the flush and recording rules can be
// checked without a screen.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "render/gl/frame_record.h"
#include "render/renderer.h"

namespace tav {

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
  // True: the texels are drawn as they are, without the multiplication by the vertex
  // colour (every vertex of the run is opaque white, so the result is the same and a
  // software rasteriser gets there faster).
  virtual void SetPlainTexels(bool plain) = 0;
  virtual void DrawVertices(Primitive primitive, const BatchVertex* vertices, size_t count) = 0;
  // Fills the drawing area with one colour.
  virtual void Clear(float red, float green, float blue) = 0;
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
  // Hands the held vertices to the target (while recording: ends the run).
  void Flush();
  size_t PendingVertexCount() const { return vertices_.size(); }

  // --- Recording a frame.
  // From now on runs are kept, not drawn, until StopRecording. A clear is recorded too.
  void StartRecording();
  bool Recording() const { return recording_; }
  void RecordClear(float red, float green, float blue);
  // Ends the recording; the recorded runs wait for DrawRecorded.
  void StopRecording();
  size_t RecordedRunCount() const { return frame_.runs.size(); }
  // True when the recorded frame equals the frame before it, run for run, given what
  // RunsSharedWithPreviousFrame() answered (so that the frames are compared once).
  bool RecordingRepeatsPreviousFrame(size_t sharedRuns) const {
    return RepeatsFrame(frame_, previousFrame_, sharedRuns);
  }
  // Draws recorded runs [first, end), setting whatever state each needs.
  void DrawRecorded(size_t first, size_t end);
  // The same, leaving out the shapes wholly outside `box` (game pixels): for a frame
  // drawn again only inside the box, where the rest would be clipped anyway.
  void DrawRecordedWithin(size_t first, size_t end, const PixelBox& box);
  // How many leading runs the recorded frame shares with the frame kept by
  // KeepFrameForComparison (none when that frame was given up).
  size_t RunsSharedWithPreviousFrame() const { return RunsShared(frame_, previousFrame_); }
  // See DrawingCost and ChangedBoxes in frame_record.h.
  double DrawingCost(size_t end, float width, float height) const {
    return tav::DrawingCost(frame_, end, width, height);
  }
  std::vector<PixelBox> ChangedBoxes(size_t sharedRuns, int width, int height) const {
    return tav::ChangedBoxes(frame_, previousFrame_, sharedRuns, width, height);
  }
  bool RecordingStartsWithClear() const { return StartsWithClear(frame_); }
  // The recorded frame becomes the one the next is compared with.
  void KeepFrameForComparison();

  // --- Bookkeeping of textures and of GL state changed outside the batcher.
  // Call before anything binds a texture or changes GL state directly. A frame being
  // recorded is drawn at once and not compared with the next: textures may change.
  void FlushBeforeOutsideChange();
  // A texture was just uploaded: GL has it bound with the nearest filter, and it is
  // the renderer's current texture, as after an explicit bind. `opaque`: every pixel
  // has alpha 255. Like a destroyed texture, it ends the comparison with the frame
  // before (its name may be one that frame used for another picture).
  void TextureCreated(unsigned name, bool opaque);
  // Flushes and forgets the texture; if it was bound, GL now has texture 0 bound.
  void TextureDestroyed(unsigned name);
  // The texture GL has bound was changed from outside.
  void NoteBoundTexture(unsigned name);
  // GL's blend and bound texture are no longer known (a new context).
  void ForgetState();

 private:
  bool IsOpaque(unsigned texture) const;
  void Apply(const RunState& state);
  void DrawRun(const RunState& state, const BatchVertex* vertices, size_t count);
  // Draws what was recorded so far and records no more this frame.
  void GiveUpRecording();

  BatchTarget& target_;
  // The renderer's current state.
  unsigned texture_ = 0;
  int filter_ = kFilterNearest;
  int blend_ = kBlendNormal;
  // The held vertices and the state they are drawn in.
  std::vector<BatchVertex> vertices_;
  std::vector<BatchVertex> withinBox_;  // DrawRecordedWithin's shapes of one run
  RunState run_;
  // The frame being recorded and the one before it.
  bool recording_ = false;
  RecordedFrame frame_;
  RecordedFrame previousFrame_;
  // What GL has now.
  bool glTextureKnown_ = false;
  unsigned glTexture_ = 0;
  int glBlend_ = 0;         // 0: not known
  int glPlainTexels_ = -1;  // -1: not known
  // The filter each texture was last given, and which textures are opaque.
  std::unordered_map<unsigned, int> textureFilters_;
  std::unordered_map<unsigned, bool> opaqueTextures_;
};

}  // namespace tav
