// The CPU side of the busiest frame the game draws, through a renderer that draws
// nothing: a full board of level 1 with chains going off, every slot of the particle
// pool and of the floating-text list alive, symbols flying and the lightning bolt of
// a fired arrow; and looking pictures up by name, which the effects do per particle.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/frame_clock.h"
#include "base/log.h"
#include "base/package_file_system.h"
#include "game/board.h"
#include "game/click_record.h"
#include "game/game_clock.h"
#include "game/random_source.h"
#include "gui/frame_delta.h"
#include "gui/notification.h"
#include "render/bitmap_font.h"
#include "render/effects.h"
#include "render/recording_renderer.h"
#include "render/texture_catalogue.h"
#include "screens/game_resources.h"
#include "screens/game_window.h"
#include "screens/screen_parts.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

// The game's data in a scratch folder, the game's pictures loaded through a renderer
// that keeps nothing.
class BenchWorld {
 public:
  static BenchWorld& Get() {
    static BenchWorld world;
    return world;
  }

  RecordingRenderer renderer;
  FixedStepClock clock{1.0f / 60.0f};

 private:
  BenchWorld() {
    const fs::path base = fs::temp_directory_path() / "tavrolith_frame_bench";
    fs::create_directories(base / "Data");
    for (const char* file : {"Textures.ini", "Levels.ini"}) {
      fs::copy_file(fs::path(TAV_DATA_DIR) / file, base / "Data" / file,
                    fs::copy_options::overwrite_existing);
    }
    LogStart(base.string());
    PackageFileSystem::AddPackage(std::string(TAV_DATA_DIR) + "/data.pkg");
    renderer.SetRecording(false);
    renderer.Init(800, 600, 16, true);
    SetRenderer(&renderer);
    SetGameClock(&clock);
    BitmapFont::Shared().Load("xFont.tga");
    BitmapFont::Shared().SetMetrics(1, 5, 15);
    SharedShade().SetTexture("Black.tga");
    LoadGameResources();
  }
};

void FillEffects(Board& board) {
  ParticlePool& pool = ParticlePool::Instance();
  for (int i = 0; i < ParticlePool::kCapacity; ++i) {
    pool.Emit(i % 2 == 0 ? "zvezda.tga" : "kolco.tga", 50.0f + i % 700, 50.0f + i % 500, 1,
              0.01f, 10, 10, 1e6f, 0.5f, false, 0);
  }
  FloatingTextList& texts = FloatingTextList::Instance();
  for (int i = 0; i < FloatingTextList::kCapacity; ++i) {
    texts.Add("Combo x5 +1200", 100.0f + i % 600, 100.0f + i % 400, 0, 5, 1e6f, 1, 1, 0.5f, 0);
  }
  board.ReportChain(494, 420, 5);
  for (int i = 0; i < 20; ++i) board.Symbols().Add(300 + 10 * i, 300, i % 4);
}

void BM_BusiestGameFrame(benchmark::State& state) {
  BenchWorld& world = BenchWorld::Get();
  SeedGameRandom(1);
  GameWindow window;
  window.Command("SetClassicLevel 1");
  Board* board = window.GetBoard();
  // Let the pieces land before the effects start.
  for (int i = 0; i < 120; ++i) {
    world.clock.AdvanceFrame();
    SetFrameDelta(world.clock.FrameTime());
    NotificationQueue queue;
    window.Update(queue);
  }
  FillEffects(*board);
  int frame = 0;
  for (auto _ : state) {
    world.clock.AdvanceFrame();
    FrameClock::Instance().FrameStart();
    world.renderer.BeginScene();
    world.renderer.Clear(0, 0, 0);
    SetFrameDelta(world.clock.FrameTime());
    NotificationQueue queue;
    window.Update(queue);
    window.Draw();
    window.DrawOverlay();
    world.renderer.EndFrame();
    FrameClock::Instance().FrameEnd();
    Clicks().Clear();
    if (++frame % 60 == 0) FillEffects(*board);
  }
  ParticlePool::Instance().Clear();
  FloatingTextList::Instance().Clear();
}
BENCHMARK(BM_BusiestGameFrame)->Unit(benchmark::kMicrosecond);

void BM_TextureLookupByName(benchmark::State& state) {
  BenchWorld::Get();
  TextureCatalogue& catalogue = TextureCatalogue::Instance();
  // Names as the effects ask for them, some in other capitals.
  const std::vector<std::string> names = {"zvezda.tga", "kolco.tga", "box.tga", "Black.tga",
                                          "xFont.tga", "ZVEZDA.TGA", "Kolco.tga"};
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(&catalogue.Get(names[i]));
    i = (i + 1) % names.size();
  }
  state.counters["pictures_loaded"] = static_cast<double>(catalogue.Count());
}
BENCHMARK(BM_TextureLookupByName);

}  // namespace
}  // namespace tav

BENCHMARK_MAIN();
