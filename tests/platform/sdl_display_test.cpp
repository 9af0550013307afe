// Presentation into the window surface, on SDL's dummy video driver (a 1024 x 768 desktop).
#include "platform/sdl/sdl_display.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

class SdlDisplayTest : public testing::Test {
 protected:
  void SetUp() override {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x) frame_[y * 800 + x] = static_cast<uint32_t>(x << 12 | y);
  }
  void TearDown() override { SDL_Quit(); }

  // The window surface's pixel as 0x00RRGGBB.
  uint32_t Shown(platform::SdlDisplay& display, int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(display.Window());
    const auto* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    const Uint32 p = reinterpret_cast<const Uint32*>(row)[x];
    Uint8 r, g, b;
    SDL_GetRGB(p, s->format, &r, &g, &b);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
  }

  std::vector<uint32_t> frame_ = std::vector<uint32_t>(800 * 600);
};

TEST_F(SdlDisplayTest, WindowedShowsTheFrameOneToOne) {
  platform::SdlDisplay display;
  display.SetMode(true);
  ASSERT_NE(display.Window(), nullptr);
  display.Present(frame_.data(), 800 * 4);
  for (const auto& [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}, {123, 456}}) {
    EXPECT_EQ(Shown(display, x, y), frame_[y * 800 + x]) << x << "," << y;
  }
  const platform::Point screen = display.ScreenSize();
  const platform::Point origin = display.ClientOrigin();
  EXPECT_EQ(origin.x, screen.x / 2 - 400);
  EXPECT_EQ(origin.y, screen.y / 2 - 300);
  const platform::Rect outer = display.WindowRect();
  EXPECT_EQ(outer.right - outer.left, 800);  // no window manager, no frame
  EXPECT_EQ(outer.bottom - outer.top, 600);
}

TEST_F(SdlDisplayTest, FullScreenScalesToTheDesktopAndBackAgain) {
  platform::SdlDisplay display;
  display.SetMode(false);
  ASSERT_NE(display.Window(), nullptr);
  const platform::Point screen = display.ScreenSize();
  display.Present(frame_.data(), 800 * 4);
  SDL_Surface* s = SDL_GetWindowSurface(display.Window());
  EXPECT_EQ(s->w, screen.x);
  EXPECT_EQ(s->h, screen.y);
  const platform::Letterbox box = display.CurrentLetterbox();
  for (const auto& [x, y] : {std::pair{0, 0}, {s->w - 1, s->h - 1}, {s->w / 2, s->h / 3}}) {
    const platform::Point f = box.WindowToFrame({x, y});
    EXPECT_EQ(Shown(display, x, y), frame_[f.y * 800 + f.x]) << x << "," << y;
  }

  display.SetMode(true);
  display.Present(frame_.data(), 800 * 4);
  EXPECT_EQ(SDL_GetWindowSurface(display.Window())->w, 800);
  EXPECT_EQ(display.ClientOrigin().x, screen.x / 2 - 400);
  EXPECT_EQ(Shown(display, 799, 599), frame_[599 * 800 + 799]);
}

// The bars around a scaled picture are drawn when a window surface first shows a frame and
// again whenever the picture may have been lost; in between they keep their black.
TEST_F(SdlDisplayTest, BarsAreBlackOnEveryNewOrLostPicture) {
  platform::SdlDisplay display;
  display.SetMode(true);
  ASSERT_NE(display.Window(), nullptr);
  const auto barsBlack = [&](const char* when) {
    SDL_Surface* s = SDL_GetWindowSurface(display.Window());
    const platform::Rect p = display.CurrentLetterbox().Picture();
    ASSERT_GT(p.left, 0) << "the picture has bars left and right";
    size_t wrong = 0;
    for (int y = 0; y < s->h; ++y)
      for (int x : {0, p.left - 1, p.right, s->w - 1}) wrong += Shown(display, x, y) != 0;
    EXPECT_EQ(wrong, 0u) << when;
    EXPECT_EQ(Shown(display, p.left, p.top), frame_[0]) << when;
  };
  const auto dirtyBars = [&] {
    SDL_Surface* s = SDL_GetWindowSurface(display.Window());
    for (int y = 0; y < s->h; ++y) {
      auto* row = reinterpret_cast<Uint32*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
      row[0] = row[s->w - 1] = 0xFFFFFF;
    }
  };
  // A window wider than the picture's aspect (as a desktop may be).
  SDL_SetWindowSize(display.Window(), 1000, 600);
  display.Present(frame_.data(), 800 * 4);
  barsBlack("first frame");
  dirtyBars();
  display.PictureMayBeLost();  // e.g. an expose
  display.Present(frame_.data(), 800 * 4);
  barsBlack("after the picture was lost");
  SDL_SetWindowSize(display.Window(), 1100, 640);
  display.Present(frame_.data(), 800 * 4);
  barsBlack("on a new window surface");
}

TEST_F(SdlDisplayTest, NothingHappensBeforeTheWindowExists) {
  platform::SdlDisplay display;
  display.Present(frame_.data(), 800 * 4);
  display.SetCursorPos(10, 10);
  display.Minimize();
  display.MoveWindow(5, 5);
  EXPECT_EQ(display.WindowRect().right, 0);
  EXPECT_GT(display.ScreenSize().x, 0);
}

}  // namespace
