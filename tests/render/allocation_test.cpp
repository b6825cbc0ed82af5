// Proves that a steady frame of particles, floating texts and a bolt allocates nothing:
// this binary counts every call of the global operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "render/bitmap_font.h"
#include "render/effects.h"
#include "tests/render/render_test_support.h"

namespace {
std::atomic<long> allocationCount{0};

void* CountedAllocate(std::size_t size) {
  ++allocationCount;
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}
// Kept out of line so the compiler does not pair a visible malloc with a delete.
[[gnu::noinline]] void CountedRelease(void* memory) noexcept { std::free(memory); }
}  // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void operator delete(void* memory) noexcept { CountedRelease(memory); }
void operator delete[](void* memory) noexcept { CountedRelease(memory); }
void operator delete(void* memory, std::size_t) noexcept { CountedRelease(memory); }
void operator delete[](void* memory, std::size_t) noexcept { CountedRelease(memory); }

namespace tav::test {
namespace {

using EffectAllocationTest = RenderTest;

TEST_F(EffectAllocationTest, PlayingFramesAllocateNothing) {
  WriteDataFile("spark.tga", MakeTga(8, 8, 32));
  WriteDataFile("font.tga", MakeTga(256, 256, 32));
  WriteDataFile("moln2.tga", MakeTga(16, 16, 32));
  auto pool = std::make_unique<ParticlePool>();
  auto texts = std::make_unique<FloatingTextList>();
  BitmapFont font;
  font.Load("font.tga");
  texts->SetFont(&font);
  const std::string picture = "spark.tga";
  const std::string longText(100, 'x');
  const std::string_view shownTexts[2] = {longText, "Combo x2"};

  LightningBolt bolt;  // allocates only when it is set
  bolt.Set("moln2.tga", 100, 100, 500, 300, 10, 10, 50, 15);

  // Warm up: the picture is loaded and every slot has been used once.
  for (int i = 0; i < ParticlePool::kCapacity; ++i)
    pool->Emit(picture, 1, 1, 1, 0, 1, 1, 0.2f, 1, true, 10);
  renderer_.SetRecording(false);

  const long before = allocationCount.load();
  for (int frame = 0; frame < 30; ++frame) {
    RunFrame(0.02f);
    for (int i = 0; i < 50; ++i) {
      pool->Emit(picture, 400, 300, 1, -0.5f, 10.0f * i, 5, 0.3f, 2, true, 200);
      texts->Add(shownTexts[i % 2], 400, 300, 0, 40, 1.0f, 1, 1, 0, -20);
    }
    pool->Update();
    texts->Update();
    pool->Draw();
    texts->Draw();
    bolt.Draw();
  }
  EXPECT_EQ(allocationCount.load() - before, 0);
  EXPECT_GT(pool->AliveCount(), 0);
  EXPECT_GT(texts->AliveCount(), 0);
}

}  // namespace
}  // namespace tav::test
