// The draw batcher's flush rules, state skipping and frame recording, and the plan for
// drawing a frame's unchanged beginning from a copy, against a target that records what
// would have gone to GL.
#include "render/gl/draw_batcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tav {
namespace {

class RecordingTarget : public BatchTarget {
 public:
  void BindTexture(unsigned name) override { calls.push_back("bind " + std::to_string(name)); }
  void SetTextureFilter(int filter) override {
    calls.push_back(filter == kFilterLinear ? "linear" : "nearest");
  }
  void SetBlend(int mode) override { calls.push_back("blend " + std::to_string(mode)); }
  // Kept apart from `calls`: every first draw sets it.
  void SetPlainTexels(bool plain) override { plainTexels.push_back(plain); }
  void Clear(float, float, float) override { calls.push_back("clear"); }
  void DrawVertices(Primitive primitive, const BatchVertex* vertices, size_t count) override {
    calls.push_back((primitive == Primitive::kQuads ? "quads " : "triangles ") +
                    std::to_string(count));
    drawn.insert(drawn.end(), vertices, vertices + count);
  }
  std::vector<std::string> calls;
  std::vector<BatchVertex> drawn;
  std::vector<bool> plainTexels;
};

class DrawBatcherTest : public ::testing::Test {
 protected:
  void Quad(float x, float alpha = 1.0f) {
    const Vertex vertices[4] = {{x, 0, 0, 1}, {x + 1, 0, 1, 1}, {x + 1, 1, 1, 0}, {x, 1, 0, 0}};
    batcher.Draw(Primitive::kQuads, vertices, 4, 1.0f, 0.5f, 0.25f, alpha);
  }
  void Triangle() {
    const Vertex vertices[3] = {{0, 0, 0, 1}, {1, 0, 1, 1}, {0, 1, 0, 0}};
    batcher.Draw(Primitive::kTriangles, vertices, 3, 1.0f, 1.0f, 1.0f, 1.0f);
  }
  std::vector<std::string> TakeCalls() {
    std::vector<std::string> calls;
    calls.swap(target.calls);
    return calls;
  }

  // One recorded frame: a clear, a background quad at 0 and a quad at x (another
  // texture, so another run).
  void RecordFrame(float x) {
    batcher.StartRecording();
    batcher.RecordClear(0, 0, 0);
    batcher.BindTexture(1);
    Quad(0);
    batcher.BindTexture(2);
    Quad(x);
    batcher.StopRecording();
  }

  RecordingTarget target;
  DrawBatcher batcher{target};
};

using Calls = std::vector<std::string>;

TEST_F(DrawBatcherTest, DrawsInOneStateWaitForAFlushAndEveryStateChangeEndsTheRun) {
  batcher.TextureCreated(7, false);
  batcher.TextureCreated(8, false);
  batcher.BindTexture(7);
  Quad(0);
  Quad(1);
  Quad(2);
  EXPECT_TRUE(target.calls.empty());
  EXPECT_EQ(batcher.PendingVertexCount(), 12u);

  batcher.BindTexture(8);  // another texture
  Quad(3);
  batcher.SetBlendMode(kBlendMultiply);  // another blend
  Quad(4);
  batcher.SetFilter(kFilterLinear);  // another filter
  Quad(5);
  Triangle();  // another primitive
  batcher.Flush();
  EXPECT_EQ(TakeCalls(), (Calls{"bind 7", "blend 2", "quads 12", "bind 8", "quads 4",
                                "blend 3", "quads 4", "linear", "quads 4", "triangles 3"}));
  // Position, texture coordinate and colour go through unchanged, in order.
  ASSERT_EQ(target.drawn.size(), 27u);
  EXPECT_EQ(target.drawn[4].x, 1.0f);
  EXPECT_EQ(target.drawn[6].u, 1.0f);
  EXPECT_EQ(target.drawn[6].v, 0.0f);
  EXPECT_EQ(target.drawn[6].g, 0.5f);
  EXPECT_EQ(target.drawn[6].b, 0.25f);

  // A blend value outside 1..3 changes nothing, so it does not end the run either.
  Triangle();
  batcher.SetBlendMode(9);
  Triangle();
  batcher.Flush();
  EXPECT_EQ(TakeCalls(), (Calls{"triangles 6"}));
  batcher.Flush();
  EXPECT_TRUE(target.calls.empty()) << "an empty batch draws nothing";
}

TEST_F(DrawBatcherTest, StateGLAlreadyHasIsNotSetAgainAndEachTextureKeepsItsFilter) {
  batcher.TextureCreated(1, false);  // uploaded with the nearest filter, left bound
  batcher.TextureCreated(2, false);
  batcher.SetBlendMode(kBlendNormal);
  batcher.BindTexture(1);
  batcher.SetFilter(kFilterLinear);
  Quad(0);
  batcher.BindTexture(2);
  batcher.SetFilter(kFilterNearest);
  Quad(0);
  batcher.BindTexture(1);
  batcher.SetFilter(kFilterLinear);
  Quad(0);
  batcher.Flush();
  batcher.BindTexture(1);
  batcher.SetBlendMode(kBlendNormal);
  Quad(1);
  batcher.Flush();
  EXPECT_EQ(TakeCalls(), (Calls{"bind 1", "linear", "blend 2", "quads 4", "bind 2", "quads 4",
                                "bind 1", "quads 4", "quads 4"}));
}

TEST_F(DrawBatcherTest, BlendingIsSkippedOnlyWhereItCannotChangeAPixel) {
  batcher.TextureCreated(1, true);
  batcher.TextureCreated(2, false);
  batcher.SetBlendMode(kBlendNormal);
  batcher.BindTexture(1);
  Quad(0);        // opaque, alpha 1: no blending needed
  Quad(0, 0.5f);  // half transparent: blended
  batcher.BindTexture(2);
  Quad(0);  // a picture with alpha: blended
  batcher.BindTexture(1);
  batcher.SetBlendMode(kBlendMultiply);
  Quad(0);  // additive brightens even when opaque
  Quad(0, 0.0f);  // blended at alpha 0: changes nothing, dropped
  batcher.SetBlendMode(kBlendNone);
  Quad(0, 0.0f);  // unblended, alpha does not matter: drawn
  batcher.Flush();
  EXPECT_EQ(TakeCalls(), (Calls{"bind 1", "blend 1", "quads 4", "blend 2", "quads 4", "bind 2",
                                "quads 4", "bind 1", "blend 3", "quads 4", "blend 1", "quads 4"}));
}

TEST_F(DrawBatcherTest, TexturesChangedOutsideTheBatchFlushFirstAndAreForgotten) {
  batcher.TextureCreated(3, false);
  batcher.SetFilter(kFilterLinear);
  Quad(0);
  // A new upload binds its own texture in GL: the held quad is drawn first, with
  // the texture it was meant for, and the new texture becomes the current one.
  batcher.TextureCreated(4, false);
  EXPECT_EQ(TakeCalls(), (Calls{"linear", "blend 2", "quads 4"}));
  Quad(0);
  batcher.TextureDestroyed(4);
  EXPECT_EQ(TakeCalls(), (Calls{"linear", "quads 4"})) << "drawn before its texture goes";
  // GL hands the name out again: the new texture's filter is set again, and the
  // unbound texture 0 is what a draw without a bind now uses.
  EXPECT_EQ(batcher.BoundTexture(), 0u);
  batcher.TextureCreated(4, false);
  Quad(0);
  batcher.Flush();
  EXPECT_EQ(TakeCalls(), (Calls{"linear", "quads 4"}));
}

TEST_F(DrawBatcherTest, AFullBatchIsFlushedWithoutLosingAVertex) {
  batcher.TextureCreated(1, false);
  const int quads = static_cast<int>(DrawBatcher::kCapacity / 4) + 10;
  for (int i = 0; i < quads; ++i) Quad(static_cast<float>(i));
  batcher.Flush();
  ASSERT_EQ(target.drawn.size(), static_cast<size_t>(quads) * 4);
  for (int i = 0; i < quads; ++i) ASSERT_EQ(target.drawn[i * 4].x, static_cast<float>(i));
  EXPECT_EQ(TakeCalls().back(), "quads 40");
}

TEST_F(DrawBatcherTest, OnlyOpaqueWhiteRunsDrawTheirTexelsPlain) {
  batcher.TextureCreated(1, false);
  Quad(0);      // coloured
  Triangle();   // white, opaque
  batcher.Flush();
  EXPECT_EQ(target.plainTexels, (std::vector<bool>{false, true}));
  EXPECT_EQ(TakeCalls(), (Calls{"blend 2", "quads 4", "triangles 3"}));
}

TEST_F(DrawBatcherTest, ARecordedFrameIsDrawnOnlyWhenAskedAndComparedWithTheOneBefore) {
  batcher.TextureCreated(1, true);
  batcher.TextureCreated(2, false);
  RecordFrame(5);
  EXPECT_TRUE(target.calls.empty()) << "recorded, not drawn";
  ASSERT_EQ(batcher.RecordedRunCount(), 3u);
  EXPECT_TRUE(batcher.RecordingStartsWithClear());
  EXPECT_EQ(batcher.RunsSharedWithPreviousFrame(), 0u) << "no frame before";
  // A unit quad costs 1, twice when blended.
  EXPECT_DOUBLE_EQ(batcher.DrawingCost(3, 800, 600), 3.0);
  batcher.DrawRecorded(1, 3);
  EXPECT_EQ(TakeCalls(), (Calls{"bind 1", "blend 1", "quads 4", "bind 2", "blend 2", "quads 4"}));
  batcher.KeepFrameForComparison();

  RecordFrame(5);
  EXPECT_EQ(batcher.RunsSharedWithPreviousFrame(), 3u);
  batcher.DrawRecorded(0, 1);
  EXPECT_EQ(TakeCalls(), (Calls{"clear"}));
  batcher.KeepFrameForComparison();
  RecordFrame(6);  // the last quad moved
  EXPECT_EQ(batcher.RunsSharedWithPreviousFrame(), 2u);
  // Replaying from the middle sets the state the run needs, whatever came before.
  batcher.DrawRecorded(2, 3);
  EXPECT_EQ(TakeCalls(), (Calls{"quads 4"}));
  batcher.DrawRecorded(1, 2);
  EXPECT_EQ(TakeCalls(), (Calls{"bind 1", "blend 1", "quads 4"}));
  batcher.KeepFrameForComparison();

  // A texture made while recording (its name may be one GL hands out again): what was
  // recorded is drawn at once, the rest of the frame directly, and the next frame
  // shares nothing with it.
  batcher.StartRecording();
  batcher.RecordClear(0, 0, 0);
  batcher.BindTexture(1);
  Quad(0);
  batcher.TextureCreated(3, false);
  EXPECT_EQ(TakeCalls(), (Calls{"clear", "quads 4"}));
  EXPECT_FALSE(batcher.Recording());
  Quad(1);
  batcher.Flush();
  EXPECT_EQ(TakeCalls(), (Calls{"blend 2", "quads 4"})) << "the upload left texture 3 bound";
  RecordFrame(6);
  EXPECT_EQ(batcher.RunsSharedWithPreviousFrame(), 0u);
  batcher.KeepFrameForComparison();
  // So does a texture destroyed between two frames.
  RecordFrame(6);
  EXPECT_EQ(batcher.RunsSharedWithPreviousFrame(), 3u);
  batcher.KeepFrameForComparison();
  batcher.TextureDestroyed(3);
  RecordFrame(6);
  EXPECT_EQ(batcher.RunsSharedWithPreviousFrame(), 0u);
}

// The parts of the picture that can differ from the frame before: cells under the
// shapes that differ, in the runs between the shared beginning and the shared ending.
TEST_F(DrawBatcherTest, ChangedBoxesCoverTheCellsOfShapesThatDifferFromTheFrameBefore) {
  const auto rect = [&](float x0, float y0, float x1, float y1) {
    const Vertex vertices[4] = {{x0, y0, 0, 1}, {x1, y0, 1, 1}, {x1, y1, 1, 0}, {x0, y1, 0, 0}};
    batcher.Draw(Primitive::kQuads, vertices, 4, 1.0f, 1.0f, 1.0f, 1.0f);
  };
  // A background, a run of sprites (the second at `x`, `extra` more after it), a panel.
  // `corners`: the lower-left corners of more 10x10 sprites after those.
  using Corners = std::vector<std::pair<float, float>>;
  const auto frame = [&](float x, int extra, unsigned spriteTexture = 2, bool clear = true,
                         const Corners& corners = {}) {
    batcher.StartRecording();
    if (clear) batcher.RecordClear(0, 0, 0);
    batcher.BindTexture(1);
    rect(0, 0, 800, 600);
    batcher.BindTexture(spriteTexture);
    rect(10, 10, 20, 20);
    rect(x, 300, x + 40, 340);
    for (int i = 0; i < extra; ++i) {
      const float left = 40.0f + 80 * (i % 9), bottom = 40.0f + 80 * (i / 9);
      rect(left, bottom, left + 10, bottom + 10);
    }
    for (const auto& [left, bottom] : corners) rect(left, bottom, left + 10, bottom + 10);
    batcher.BindTexture(3);
    rect(700, 0, 800, 100);
    batcher.StopRecording();
    const std::vector<PixelBox> boxes =
        batcher.ChangedBoxes(batcher.RunsSharedWithPreviousFrame(), 800, 600);
    batcher.KeepFrameForComparison();
    return boxes;
  };
  using Boxes = std::vector<PixelBox>;
  const Boxes whole{{0, 0, 800, 600}};
  EXPECT_EQ(frame(500, 0), whole) << "nothing to compare with";
  EXPECT_EQ(frame(500, 0), Boxes{}) << "the same frame";
  // The sprite moved: its old and its new cells, nothing of the runs around it.
  EXPECT_EQ(frame(600, 0), (Boxes{{480, 288, 544, 352}, {576, 288, 640, 352}}));
  // One sprite more at the end of the run.
  EXPECT_EQ(frame(600, 1), (Boxes{{32, 32, 64, 64}}));
  // Another texture for the sprites: every sprite of both frames' runs.
  EXPECT_EQ(frame(600, 1, 4), (Boxes{{0, 0, 32, 32}, {32, 32, 64, 64}, {576, 288, 640, 352}}));
  // Changes spread over the screen beyond the limit on boxes become one box around
  // them all...
  frame(600, 0);
  EXPECT_EQ(frame(600, 19), (Boxes{{32, 32, 704, 224}}));
  // ... and changes in a few groups are boxed in cells twice as large, which cover far
  // less: here two checkerboards of cells in opposite corners and one cell between.
  Corners corners{{328, 264}};
  for (int column = 0; column < 4; ++column) {
    for (int row = column % 2; row < 4; row += 2) {
      corners.push_back({32.0f * column + 8, 32.0f * row + 8});
      corners.push_back({32.0f * (20 + column) + 8, 32.0f * (14 + row) + 8});
    }
  }
  frame(600, 0);
  EXPECT_EQ(frame(600, 0, 2, true, corners),
            (Boxes{{0, 0, 128, 128}, {320, 256, 384, 320}, {640, 448, 768, 576}}));
  // Without a clear first, pixels keep what earlier frames left: everything counts.
  frame(600, 0);
  EXPECT_EQ(frame(600, 0, 2, false), whole);
}

TEST(FrameReusePlanTest, ACopyIsMadeWhereItPaysUsedWhileUnchangedAndGrownOnlyWhenSteady) {
  // Every run costs 100, as much as drawing the copy (the picture's area).
  const auto cost = [](size_t runs) { return 100.0 * static_cast<double>(runs); };
  struct Case {
    size_t copied, sharedNow, sharedBefore;
    bool drawCopy;
    size_t copyAfter;
    const char* why;
  };
  const Case cases[] = {
      {0, 1, 0, false, 0, "one run costs no more than drawing the copy"},
      {0, 4, 0, false, 4, "nothing kept: copied after the shared beginning"},
      {4, 4, 4, true, 0, "used while the copied runs stay the same"},
      {4, 9, 4, true, 0, "more shared this frame only: not grown yet"},
      {4, 9, 7, true, 7, "grown over what stayed the same for two frames"},
      {7, 3, 9, false, 3, "a copied run changed: a new copy after what is still shared"},
  };
  for (const Case& c : cases) {
    const FrameReusePlan plan = PlanFrameReuse(c.copied, c.sharedNow, c.sharedBefore, cost, 100);
    EXPECT_EQ(plan.drawCopy, c.drawCopy) << c.why;
    EXPECT_EQ(plan.copyAfter, c.copyAfter) << c.why;
  }
}

}  // namespace
}  // namespace tav
