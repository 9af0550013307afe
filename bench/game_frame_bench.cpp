// The heaviest game frame we can build — a boss, twenty enemy ships, every gun's 21 shot slots
// taken, twenty explosions, asteroids and bonuses, both background layers and the HUD — composed
// into the back buffer with the real sprite pack. Reported as CPU time and as a share of the
// 15.625 ms a frame may take at 64 frames per second (`frame_share`).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <memory>

#include "game/asteroid.h"
#include "game/base_boss.h"
#include "game/bonus.h"
#include "game/enemy_engine.h"
#include "game/game.h"
#include "game/gunner.h"
#include "game/hit.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "graphics/images.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_font_locator.h"
#include "shell/game_view.h"

namespace {

constexpr double kFrameNs = 15.625e6;

class BenchClock : public platform::IClock {
 public:
  uint32_t TickCount() override { return static_cast<uint32_t>(ticks * 15.625); }
  void Sleep(uint32_t) override {}
  uint32_t MsUntilNextTick() override { return 0; }
  uint64_t ticks = 64;
};

class BenchDisplay : public platform::IDisplay {
 public:
  platform::Point ScreenSize() override { return {1280, 1024}; }
  void SetMode(bool) override {}
  void Present(const uint32_t*, int) override {}
  platform::Rect WindowRect() override { return {0, 0, 808, 627}; }
  platform::Point ClientOrigin() override { return {4, 23}; }
  void MoveWindow(int32_t, int32_t) override {}
  void Minimize() override {}
  void ShowCursor(bool) override {}
  void SetCursorPos(int32_t, int32_t) override {}
  void ShowError(const std::string&, const std::string&) override {}
};

class BenchInput : public platform::IInputDevices {
 public:
  void ReadKeyboard(uint8_t[256]) override {}
  void ReadMouse(uint8_t[20]) override {}
  void AcquireKeyboard(bool) override {}
  void AcquireMouse(bool) override {}
};

double ThreadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// The built game folder (with Data/Data.pp) sits next to the bench folder.
bool EnterGameFolder() {
  const auto exe = std::filesystem::read_symlink("/proc/self/exe");
  const auto game = exe.parent_path().parent_path() / "game";
  if (!std::filesystem::exists(game / "Data" / "Data.pp")) return false;
  std::filesystem::current_path(game);
  return true;
}

void FillGun(TGunner& gun, uint8_t kind, int32_t x, int32_t y, double angle) {
  for (int i = 0; i < kShotSlots; ++i) {
    gun.AddShot(kind, 0, x + (i % 7) * 30, y + (i / 7) * 60, angle);
  }
}

// A playing frame of boss stage 9 with every table full.
void BuildHeaviestWorld(bool full) {
  Randomize(1);
  Game = std::make_unique<TGame>();
  TGame& g = *Game;
  g.Stage = 9;
  g.StagePart = 3;
  g.Status = gsPlaying;
  g.Distance = 4000;
  g.Lives = 5;
  g.Score = 123456;
  g.Shield = 40;
  g.Ship->X = 700;
  g.Ship->Y = 500;
  g.Ship->HasWall = g.Ship->HasBomb = true;
  g.Ship->Gun.WeaponKind = g.Ship->Gun.Pattern = 5;
  g.Ship->WeaponTime = 25;
  if (!full) return;
  g.Engine->Boss = std::make_unique<TBaseBoss>(2);
  g.Engine->Boss->Y = 0;
  g.Engine->Boss->X = 300;
  FillGun(g.Engine->Boss->Gun, 13, 20, 300, 0.0);
  for (int i = 0; i < kTableSize; ++i) {
    const uint8_t kind = static_cast<uint8_t>(i % 9);
    const int16_t x = static_cast<int16_t>((i % 5) * 150 + 10);
    const int16_t y = static_cast<int16_t>((i / 5) * 90 + 20);
    const uint8_t slot = g.Engine->PlaceEnemy(kind, x, y, static_cast<uint8_t>(i % 4));
    FillGun(g.Engine->Enemies[slot]->Gun, kind, 10 + i * 5, 250, 0.0);
    g.Asteroids[i] = std::make_unique<TAsteroid>(static_cast<uint8_t>(i));
    g.Asteroids[i]->Y = static_cast<int16_t>(40 + i * 20);
    g.Bonuses[i] = std::make_unique<TBonus>(static_cast<uint8_t>(i), static_cast<int16_t>(i * 35),
                                            static_cast<int16_t>(100 + i * 10));
    g.AddHit(i * 38, 100 + i * 15, static_cast<uint8_t>(9 + i % 9), 0);
    g.Hits[i]->Counter = static_cast<int16_t>(i % 15);
  }
  // The player's twin beams, flying up through the enemies.
  FillGun(g.Ship->Gun, 5, 40, 120, g.Ship->Gun.Angle);
}

void Frame(benchmark::State& state, bool full) {
  if (!EnterGameFolder()) {
    state.SkipWithError("no built sprite pack (build the starmoat_assets target)");
    return;
  }
  BenchClock clock;
  BenchDisplay display;
  BenchInput input;
  platform::SdlFontLocator fonts;
  platform::Platform services;
  services.clock = &clock;
  services.display = &display;
  services.input = &input;
  services.fonts = &fonts;
  platform::SetServices(services);
  gfx::LoadImages();
  InstallGameView();
  gfx::TSurface back(800, 600);
  double share = 0;
  for (auto _ : state) {
    state.PauseTiming();
    BuildHeaviestWorld(full);
    ++clock.ticks;
    state.ResumeTiming();
    const double start = ThreadCpuNs();
    back.Fill(0);
    Game->Update({clock.TickCount(), 0}, &back);
    const double ns = ThreadCpuNs() - start;
    state.SetIterationTime(ns * 1e-9);
    share += ns / kFrameNs;
  }
  state.counters["frame_share"] = benchmark::Counter(share, benchmark::Counter::kAvgIterations);
  Game.reset();
  gfx::ReleaseImages();
  platform::SetServices({});
}

// Only the two layers and the HUD: the floor every playing frame pays.
void BM_EmptyPlayingFrame(benchmark::State& state) { Frame(state, false); }
void BM_HeaviestFrame(benchmark::State& state) { Frame(state, true); }

BENCHMARK(BM_EmptyPlayingFrame)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeaviestFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
