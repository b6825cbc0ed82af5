// What recording a frame costs the OpenGL back-end on the CPU: a busy frame's quads
// (60 runs of 50, about the busiest level with its effects) recorded, compared with the
// same frame before it and handed to a target that draws nothing.
#include <benchmark/benchmark.h>

#include "render/gl/draw_batcher.h"

namespace tav {
namespace {

class NullTarget : public BatchTarget {
 public:
  void BindTexture(unsigned) override {}
  void SetTextureFilter(int) override {}
  void SetBlend(int) override {}
  void SetPlainTexels(bool) override {}
  void DrawVertices(Primitive, const BatchVertex* vertices, size_t count) override {
    benchmark::DoNotOptimize(vertices);
    benchmark::DoNotOptimize(count);
  }
  void Clear(float, float, float) override {}
};

void BM_RecordCompareAndDrawFrame(benchmark::State& state) {
  NullTarget target;
  DrawBatcher batcher(target);
  for (unsigned texture = 1; texture <= 60; ++texture) batcher.TextureCreated(texture, false);
  for (auto _ : state) {
    batcher.StartRecording();
    batcher.RecordClear(0, 0, 0);
    for (unsigned texture = 1; texture <= 60; ++texture) {
      batcher.BindTexture(texture);
      for (int quad = 0; quad < 50; ++quad) {
        const float x = static_cast<float>(quad * 16), y = static_cast<float>(texture * 10);
        const Vertex vertices[4] = {
            {x, y, 0, 1}, {x + 50, y, 1, 1}, {x + 50, y + 50, 1, 0}, {x, y + 50, 0, 0}};
        batcher.Draw(Primitive::kQuads, vertices, 4, 1, 1, 1, 0.5f);
      }
    }
    batcher.StopRecording();
    benchmark::DoNotOptimize(batcher.RunsSharedWithPreviousFrame());
    batcher.DrawRecorded(0, batcher.RecordedRunCount());
    batcher.KeepFrameForComparison();
  }
}
BENCHMARK(BM_RecordCompareAndDrawFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tav

BENCHMARK_MAIN();
