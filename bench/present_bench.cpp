// Presenting one 800 x 600 frame: under X (DISPLAY set, e.g. Xvfb) the real window path,
// otherwise SDL's dummy driver, which measures our copy into the window surface alone.
// At 64 frames per second, t microseconds per frame cost 0.0064 t per cent of a core.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "platform/sdl/sdl_display.h"

namespace {

class Sdl {
 public:
  Sdl() {
    if (!std::getenv("DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    ok_ = SDL_Init(SDL_INIT_VIDEO) == 0;
  }
  ~Sdl() {
    if (ok_) SDL_Quit();
  }
  bool ok_;
};

std::vector<uint32_t> Frame() {
  std::vector<uint32_t> pixels(800 * 600);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u);
  return pixels;
}

void Present(benchmark::State& state, bool windowed) {
  Sdl sdl;
  if (!sdl.ok_) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  {
    platform::SdlDisplay display;
    display.SetMode(windowed);
    if (!display.Window()) {
      state.SkipWithError("no window");
      return;
    }
    const std::vector<uint32_t> pixels = Frame();
    for (auto _ : state) display.Present(pixels.data(), 800 * 4);
    const platform::Rect picture = display.CurrentLetterbox().Picture();
    state.SetLabel(std::string(SDL_GetCurrentVideoDriver()) + " " +
                   std::to_string(picture.right - picture.left) + "x" +
                   std::to_string(picture.bottom - picture.top));
  }
}

// The scaling copy of full screen alone, into a 1920 x 1080 window buffer.
void BM_LetterboxDraw1080p(benchmark::State& state) {
  const std::vector<uint32_t> frame = Frame();
  std::vector<uint32_t> window(1920 * 1080);
  const platform::Letterbox box(1920, 1080);
  for (auto _ : state) {
    box.Draw(frame.data(), 800 * 4, window.data(), 1920 * 4);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LetterboxDraw1080p)->Unit(benchmark::kMicrosecond);

void BM_PresentWindowed(benchmark::State& state) { Present(state, true); }
void BM_PresentFullScreenScaled(benchmark::State& state) { Present(state, false); }

BENCHMARK(BM_PresentWindowed)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PresentFullScreenScaled)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
