// A frame's draws as the OpenGL back-end records them, and what is worked out from two
// frames in a row: how many runs they share, where their pictures can differ, what
// drawing a part of one costs, and whether drawing its unchanged beginning from a
// kept copy of the picture pays. Plain data and functions, without GL, so that the
// rules can be checked on made-up frames.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "render/renderer.h"

namespace tav {

// One vertex as it goes to GL: position, texture coordinate, colour.
struct BatchVertex {
  float x, y, u, v;
  float r, g, b, a;
};

// kClear is a recorded clear of the drawing area: one vertex holding the colour.
enum class Primitive { kQuads, kTriangles, kClear };

// The state one run of draws is drawn in.
struct RunState {
  unsigned texture = 0;
  int filter = kFilterNearest;
  int blend = kBlendNormal;
  bool plainTexels = false;
  Primitive primitive = Primitive::kQuads;
  bool operator==(const RunState&) const = default;
};

// One recorded run: its state and its vertices in the frame's array.
struct RecordedRun {
  RunState state;
  size_t first = 0;
  size_t count = 0;
};

struct RecordedFrame {
  std::vector<RecordedRun> runs;
  std::vector<BatchVertex> vertices;
  bool comparable = false;  // false: given up, or nothing recorded yet
  void Clear() {
    runs.clear();
    vertices.clear();
    comparable = false;
  }
};

// A rectangle of pixels [x0, x1) x [y0, y1), origin bottom-left like GL's window
// coordinates.
struct PixelBox {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
  bool operator==(const PixelBox&) const = default;
};

// What the back-end does with a recorded frame. `drawCopy`: the copy of the picture
// kept from an earlier frame replaces the first runs it holds. `copyAfter`: when not 0,
// the picture is copied (for later frames) once that many runs are drawn.
struct FrameReusePlan {
  bool drawCopy = false;
  size_t copyAfter = 0;
};

// Decides how a recorded frame is drawn. `copiedRuns`: how many leading runs the kept
// copy holds (0: none). `sharedNow`, `sharedBefore`: the runs this frame and the one
// before it shared with their predecessors. `cost(n)`: the cost of drawing the first n
// runs, in DrawingCost's units; `copyCost`: the cost of drawing the copy (the picture's
// area). A copy is made only when drawing it instead saves more than half its own
// cost again, and grown only over a beginning unchanged for two frames.
FrameReusePlan PlanFrameReuse(size_t copiedRuns, size_t sharedNow, size_t sharedBefore,
                              const std::function<double(size_t)>& cost, double copyCost);

// Whether run `a` of frame `x` and run `b` of frame `y` draw the same.
bool SameRun(const RecordedFrame& x, size_t a, const RecordedFrame& y, size_t b);
// How many leading runs `now` shares, state and vertices, with `before` (none when
// either cannot be compared).
size_t RunsShared(const RecordedFrame& now, const RecordedFrame& before);
// True when `now` equals `before` run for run, given what RunsShared answered.
bool RepeatsFrame(const RecordedFrame& now, const RecordedFrame& before, size_t sharedRuns);
// True when the frame starts by clearing, so that nothing left in the buffer from
// earlier frames shows through it.
bool StartsWithClear(const RecordedFrame& frame);
// The cost of drawing runs [0, end): covered pixels (clipped to `width` x `height`),
// blended ones counting twice.
double DrawingCost(const RecordedFrame& frame, size_t end, float width, float height);

// Whether the bounding box of a shape's `corners` vertices reaches into `box`.
bool ShapeMeetsBox(const BatchVertex* vertices, size_t corners, const PixelBox& box);

// Where `current`'s picture can differ from `previous`'s within the `width` x `height` area:
// at most kMaxChangedBoxes boxes of whole kChangeCell-pixel cells (of cells two, four...
// times as large where the changes are scattered), or the whole area when the frames cannot be
// compared draw by draw; none when they are equal. A pixel outside every box is drawn
// by the same draws, in the same order, in both frames. `sharedRuns`: what RunsShared
// answered.
constexpr int kChangeCell = 32;
constexpr size_t kMaxChangedBoxes = 16;
std::vector<PixelBox> ChangedBoxes(const RecordedFrame& current, const RecordedFrame& previous,
                                   size_t sharedRuns, int width, int height);

}  // namespace tav
