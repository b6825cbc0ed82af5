// Recorded frames and what two of them in a row tell the OpenGL back-end.
#include "render/gl/frame_record.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tav {

FrameReusePlan PlanFrameReuse(size_t copiedRuns, size_t sharedNow, size_t sharedBefore,
                              const std::function<double(size_t)>& cost, double copyCost) {
  FrameReusePlan plan;
  if (copiedRuns > 0 && sharedNow >= copiedRuns) {
    plan.drawCopy = true;
    // Growing the copy costs a copy of the picture: only for a longer beginning that
    // stayed the same over two frames and saves a quarter of the picture's area.
    const size_t stable = std::min(sharedNow, sharedBefore);
    if (stable > copiedRuns && cost(stable) - cost(copiedRuns) >= copyCost / 4) {
      plan.copyAfter = stable;
    }
  } else if (sharedNow > 0 && cost(sharedNow) >= copyCost * 1.5) {
    plan.copyAfter = sharedNow;
  }
  return plan;
}

bool SameRun(const RecordedFrame& x, size_t a, const RecordedFrame& y, size_t b) {
  const RecordedRun& one = x.runs[a];
  const RecordedRun& other = y.runs[b];
  return one.state == other.state && one.count == other.count &&
         std::memcmp(x.vertices.data() + one.first, y.vertices.data() + other.first,
                     one.count * sizeof(BatchVertex)) == 0;
}

size_t RunsShared(const RecordedFrame& now, const RecordedFrame& before) {
  if (!now.comparable || !before.comparable) return 0;
  const size_t runs = std::min(now.runs.size(), before.runs.size());
  for (size_t i = 0; i < runs; ++i) {
    if (!SameRun(now, i, before, i)) return i;
  }
  return runs;
}

bool RepeatsFrame(const RecordedFrame& now, const RecordedFrame& before, size_t sharedRuns) {
  // No run is shared with a frame that was given up, so an empty frame never repeats.
  return sharedRuns > 0 && sharedRuns == now.runs.size() && sharedRuns == before.runs.size();
}

bool StartsWithClear(const RecordedFrame& frame) {
  return !frame.runs.empty() && frame.runs.front().state.primitive == Primitive::kClear;
}

namespace {

struct ShapeBox {
  float left, right, bottom, top;
};

// The bounding box of a shape's `count` vertices.
ShapeBox ShapeBounds(const BatchVertex* vertices, size_t count) {
  ShapeBox box{vertices[0].x, vertices[0].x, vertices[0].y, vertices[0].y};
  for (size_t i = 1; i < count; ++i) {
    box.left = std::min(box.left, vertices[i].x);
    box.right = std::max(box.right, vertices[i].x);
    box.bottom = std::min(box.bottom, vertices[i].y);
    box.top = std::max(box.top, vertices[i].y);
  }
  return box;
}

// The cells of an area that a frame's changes touch, and the few boxes covering them.
class ChangedCells {
 public:
  ChangedCells(int width, int height)
      : width_(width),
        height_(height),
        columns_((width + kChangeCell - 1) / kChangeCell),
        rows_((height + kChangeCell - 1) / kChangeCell),
        marked_(static_cast<size_t>(columns_) * rows_, false) {}

  // Marks the cells under the bounding box of `count` vertices: every pixel whose
  // centre a shape covers lies inside it.
  void MarkShape(const BatchVertex* vertices, size_t count) {
    const auto [left, right, bottom, top] = ShapeBounds(vertices, count);
    // Clamped as floats first: a stray vertex far outside (or not a number) must not
    // overflow an int.
    const auto clampTo = [](float value, int limit) {
      if (!(value > 0.0f)) return 0;
      return value >= static_cast<float>(limit) ? limit : static_cast<int>(value);
    };
    const int x0 = clampTo(std::floor(left), width_), x1 = clampTo(std::ceil(right), width_);
    const int y0 = clampTo(std::floor(bottom), height_), y1 = clampTo(std::ceil(top), height_);
    if (x0 >= x1 || y0 >= y1) return;
    const int cell = kChangeCell;
    for (int row = y0 / cell; row <= (y1 - 1) / cell; ++row) {
      for (int column = x0 / cell; column <= (x1 - 1) / cell; ++column) {
        marked_[static_cast<size_t>(row) * columns_ + column] = true;
      }
    }
  }

  // Every shape of a run.
  void MarkRun(const BatchVertex* vertices, size_t count, Primitive primitive) {
    const size_t corners = primitive == Primitive::kQuads ? 4 : 3;
    for (size_t shape = 0; shape + corners <= count; shape += corners) {
      MarkShape(vertices + shape, corners);
    }
  }

  // The marked cells as boxes. Each box costs a draw and a present of its own, so
  // scattered changes beyond kMaxChangedBoxes boxes are boxed again in cells twice as
  // wide and high, until few enough boxes remain (one cell covers everything at last),
  // or become one box around them all where that is smaller.
  std::vector<PixelBox> Boxes() const {
    const std::vector<PixelBox> cells = BoxesOfCells(1);
    if (cells.size() <= kMaxChangedBoxes) return cells;
    PixelBox all = cells.front();
    for (const PixelBox& box : cells) {
      all = {std::min(all.x0, box.x0), std::min(all.y0, box.y0), std::max(all.x1, box.x1),
             std::max(all.y1, box.y1)};
    }
    for (int factor = 2;; factor *= 2) {
      std::vector<PixelBox> boxes = BoxesOfCells(factor);
      if (boxes.size() > kMaxChangedBoxes) continue;
      return Area(boxes) < Area({all}) ? boxes : std::vector<PixelBox>{all};
    }
  }

 private:
  static long Area(const std::vector<PixelBox>& boxes) {
    long area = 0;
    for (const PixelBox& box : boxes) area += long{box.x1 - box.x0} * (box.y1 - box.y0);
    return area;
  }

  // Whether any cell of the `factor` x `factor` block at (column, row) is marked.
  bool BlockMarked(int column, int row, int factor) const {
    for (int y = row * factor; y < std::min(rows_, (row + 1) * factor); ++y) {
      for (int x = column * factor; x < std::min(columns_, (column + 1) * factor); ++x) {
        if (marked_[static_cast<size_t>(y) * columns_ + x]) return true;
      }
    }
    return false;
  }

  // Each row's runs of marked blocks, joined with the same run of the rows above.
  std::vector<PixelBox> BoxesOfCells(int factor) const {
    const int block = kChangeCell * factor;
    const int columns = (columns_ + factor - 1) / factor, rows = (rows_ + factor - 1) / factor;
    std::vector<PixelBox> boxes;
    std::vector<size_t> openBoxes;  // boxes that end at the row below this one
    for (int row = 0; row < rows; ++row) {
      std::vector<size_t> stillOpen;
      for (int column = 0; column < columns;) {
        if (!BlockMarked(column, row, factor)) {
          ++column;
          continue;
        }
        int end = column;
        while (end < columns && BlockMarked(end, row, factor)) ++end;
        const PixelBox span{column * block, row * block, std::min(end * block, width_),
                            std::min((row + 1) * block, height_)};
        const auto same = std::find_if(openBoxes.begin(), openBoxes.end(), [&](size_t index) {
          return boxes[index].x0 == span.x0 && boxes[index].x1 == span.x1;
        });
        if (same != openBoxes.end()) {
          boxes[*same].y1 = span.y1;
          stillOpen.push_back(*same);
        } else {
          stillOpen.push_back(boxes.size());
          boxes.push_back(span);
        }
        column = end;
      }
      openBoxes = std::move(stillOpen);
    }
    return boxes;
  }

  int width_;
  int height_;
  int columns_;
  int rows_;
  std::vector<bool> marked_;
};

}  // namespace

bool ShapeMeetsBox(const BatchVertex* vertices, size_t corners, const PixelBox& box) {
  const auto [left, right, bottom, top] = ShapeBounds(vertices, corners);
  // Bounds that are not numbers keep the shape: the clipping decides.
  if (!(left == left && right == right && bottom == bottom && top == top)) return true;
  return right > static_cast<float>(box.x0) && left < static_cast<float>(box.x1) &&
         top > static_cast<float>(box.y0) && bottom < static_cast<float>(box.y1);
}

std::vector<PixelBox> ChangedBoxes(const RecordedFrame& current, const RecordedFrame& previous,
                                   size_t sharedRuns, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  const std::vector<PixelBox> whole{{0, 0, width, height}};
  // Without a clear at the start of both, pixels depend on what earlier frames left.
  if (!current.comparable || !previous.comparable || !StartsWithClear(current) ||
      !StartsWithClear(previous)) {
    return whole;
  }
  // The frames share their first sharedRuns runs and, counted from the end, `shared
  // ending` more; the runs between are compared in pairs, shape by shape.
  const size_t runsNow = current.runs.size(), runsBefore = previous.runs.size();
  sharedRuns = std::min({sharedRuns, runsNow, runsBefore});
  size_t sharedEnding = 0;
  while (
      sharedRuns + sharedEnding < std::min(runsNow, runsBefore) &&
      SameRun(current, runsNow - 1 - sharedEnding, previous, runsBefore - 1 - sharedEnding)) {
    ++sharedEnding;
  }
  const size_t endNow = runsNow - sharedEnding, endBefore = runsBefore - sharedEnding;
  ChangedCells cells(width, height);
  for (size_t i = sharedRuns; i < std::max(endNow, endBefore); ++i) {
    const RecordedRun* now = i < endNow ? &current.runs[i] : nullptr;
    const RecordedRun* before = i < endBefore ? &previous.runs[i] : nullptr;
    const bool clears = (now != nullptr && now->state.primitive == Primitive::kClear) ||
                        (before != nullptr && before->state.primitive == Primitive::kClear);
    if (clears) return whole;
    const BatchVertex* verticesNow = now ? current.vertices.data() + now->first : nullptr;
    const BatchVertex* verticesBefore =
        before ? previous.vertices.data() + before->first : nullptr;
    if (now == nullptr || before == nullptr || !(now->state == before->state)) {
      if (now) cells.MarkRun(verticesNow, now->count, now->state.primitive);
      if (before) cells.MarkRun(verticesBefore, before->count, before->state.primitive);
      continue;
    }
    // The same state: only shapes that differ (or that one frame lacks) change pixels.
    const size_t corners = now->state.primitive == Primitive::kQuads ? 4 : 3;
    for (size_t shape = 0; shape + corners <= std::max(now->count, before->count);
         shape += corners) {
      const bool inNow = shape + corners <= now->count;
      const bool inBefore = shape + corners <= before->count;
      if (inNow && inBefore &&
          std::memcmp(verticesNow + shape, verticesBefore + shape, corners * sizeof(BatchVertex)) ==
              0) {
        continue;
      }
      if (inNow) cells.MarkShape(verticesNow + shape, corners);
      if (inBefore) cells.MarkShape(verticesBefore + shape, corners);
    }
  }
  return cells.Boxes();
}

double DrawingCost(const RecordedFrame& frame, size_t end, float width, float height) {
  double cost = 0.0;
  end = std::min(end, frame.runs.size());
  for (size_t i = 0; i < end; ++i) {
    const RecordedRun& run = frame.runs[i];
    if (run.state.primitive == Primitive::kClear) continue;
    const double weight = run.state.blend == kBlendNone ? 1.0 : 2.0;
    const size_t corners = run.state.primitive == Primitive::kQuads ? 4 : 3;
    for (size_t shape = 0; shape + corners <= run.count; shape += corners) {
      // The shape's area (shoelace formula) with its corners clipped to the area: exact
      // for the rectangles that make up nearly every frame, near enough for the rest.
      double twiceArea = 0.0;
      for (size_t k = 0; k < corners; ++k) {
        const BatchVertex& a = frame.vertices[run.first + shape + k];
        const BatchVertex& b = frame.vertices[run.first + shape + (k + 1) % corners];
        const double ax = std::clamp(a.x, 0.0f, width), ay = std::clamp(a.y, 0.0f, height);
        const double bx = std::clamp(b.x, 0.0f, width), by = std::clamp(b.y, 0.0f, height);
        twiceArea += ax * by - bx * ay;
      }
      cost += weight * std::fabs(twiceArea) / 2.0;
    }
  }
  return cost;
}

}  // namespace tav
