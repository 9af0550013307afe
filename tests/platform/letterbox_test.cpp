#include "platform/sdl/letterbox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::Letterbox;
using platform::Point;

TEST(LetterboxTest, PictureFitsWithAspectKeptAndCentred) {
  const struct {
    int32_t w, h;
    int32_t left, top, right, bottom;
  } cases[] = {
      {800, 600, 0, 0, 800, 600},          // one to one
      {1024, 768, 0, 0, 1024, 768},        // same aspect, larger
      {1920, 1080, 240, 0, 1680, 1080},    // wide: bars left and right
      {1280, 1024, 0, 32, 1280, 992},      // tall: bars top and bottom
      {1366, 768, 171, 0, 1195, 768},      // odd margins round down on the left
      {640, 480, 0, 0, 640, 480},          // smaller than the frame
  };
  for (const auto& c : cases) {
    const platform::Rect p = Letterbox(c.w, c.h).Picture();
    EXPECT_EQ(p.left, c.left) << c.w << "x" << c.h;
    EXPECT_EQ(p.top, c.top) << c.w << "x" << c.h;
    EXPECT_EQ(p.right, c.right) << c.w << "x" << c.h;
    EXPECT_EQ(p.bottom, c.bottom) << c.w << "x" << c.h;
  }
  EXPECT_TRUE(Letterbox(800, 600).Identity());
  EXPECT_FALSE(Letterbox(1024, 768).Identity());
}

TEST(LetterboxTest, WindowPointsMapBackToFramePoints) {
  const Letterbox box(1920, 1080);  // picture 240..1680 x 0..1080, scale 1.8
  const struct {
    Point window, frame;
  } cases[] = {
      {{240, 0}, {0, 0}},
      {{1679, 1079}, {799, 599}},
      {{960, 540}, {400, 300}},
      {{241, 1}, {0, 0}},
      {{242, 2}, {1, 1}},
      {{100, 500}, {0, 277}},     // over the left bar: the left edge
      {{1900, 500}, {799, 277}},  // over the right bar: the right edge
  };
  for (const auto& c : cases) {
    const Point p = box.WindowToFrame(c.window);
    EXPECT_EQ(p.x, c.frame.x) << c.window.x << "," << c.window.y;
    EXPECT_EQ(p.y, c.frame.y) << c.window.x << "," << c.window.y;
  }
}

TEST(LetterboxTest, FramePointsSurviveTheRoundTrip) {
  for (const auto& size : {Point{800, 600}, Point{1024, 768}, Point{1920, 1080}, Point{1280, 1024}}) {
    const Letterbox box(size.x, size.y);
    for (const Point f : {Point{0, 0}, Point{200, 200}, Point{400, 300}, Point{799, 599}}) {
      const Point w = box.FrameToWindow(f);
      const Point back = box.WindowToFrame(w);
      EXPECT_EQ(back.x, f.x) << size.x << "x" << size.y;
      EXPECT_EQ(back.y, f.y) << size.x << "x" << size.y;
    }
  }
  const Point centre = Letterbox(800, 600).FrameToWindow({123, 456});
  EXPECT_EQ(centre.x, 123);
  EXPECT_EQ(centre.y, 456);
}

}  // namespace

namespace {

// A frame whose every pixel tells where it came from: 0x00XXXYYY-like (x * 1000 + y).
std::vector<uint32_t> CoordinateFrame() {
  std::vector<uint32_t> frame(800 * 600);
  for (uint32_t y = 0; y < 600; ++y)
    for (uint32_t x = 0; x < 800; ++x) frame[y * 800 + x] = x * 1000 + y + 1;
  return frame;
}

uint32_t Code(int32_t x, int32_t y) { return static_cast<uint32_t>(x * 1000 + y + 1); }

TEST(LetterboxTest, DrawScalesByNearestPixelAndBlacksTheBars) {
  const std::vector<uint32_t> frame = CoordinateFrame();
  const Letterbox box(1920, 1080);  // picture 240..1680, scale 1.8
  const int pitch = 1920 * 4 + 64;   // a window row may be longer than its pixels
  std::vector<uint32_t> window(static_cast<size_t>(pitch / 4) * 1080, 0xDEADBEEF);
  box.Draw(frame.data(), 800 * 4, window.data(), pitch);
  const auto at = [&](int32_t x, int32_t y) { return window[static_cast<size_t>(y) * (pitch / 4) + x]; };
  const struct {
    Point window;
    uint32_t pixel;
  } cases[] = {
      {{0, 0}, 0},                         // left bar
      {{239, 540}, 0},
      {{1680, 540}, 0},                    // right bar
      {{1919, 1079}, 0},
      {{240, 0}, Code(0, 0)},
      {{241, 1}, Code(0, 0)},              // a frame pixel covers 1.8 window pixels
      {{242, 2}, Code(1, 1)},
      {{1679, 1079}, Code(799, 599)},
      {{960, 540}, Code(400, 300)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(at(c.window.x, c.window.y), c.pixel) << c.window.x << "," << c.window.y;
  }
  // Each window pixel shows the frame pixel that WindowToFrame names.
  for (const Point w : {Point{500, 77}, Point{1234, 1000}, Point{241, 999}}) {
    const Point f = box.WindowToFrame(w);
    EXPECT_EQ(at(w.x, w.y), Code(f.x, f.y)) << w.x << "," << w.y;
  }
}

TEST(LetterboxTest, DrawFillsBarsAboveAndBelowAndShrinks) {
  const std::vector<uint32_t> frame = CoordinateFrame();
  const Letterbox box(400, 400);  // picture 400 x 300 at y 50: every other frame pixel
  std::vector<uint32_t> window(400 * 400, 0xDEADBEEF);
  box.Draw(frame.data(), 800 * 4, window.data(), 400 * 4);
  EXPECT_EQ(window[0], 0u);
  EXPECT_EQ(window[49 * 400 + 399], 0u);
  EXPECT_EQ(window[50 * 400 + 0], Code(0, 0));
  EXPECT_EQ(window[51 * 400 + 3], Code(6, 2));
  EXPECT_EQ(window[349 * 400 + 399], Code(798, 598));
  EXPECT_EQ(window[350 * 400 + 0], 0u);
  EXPECT_EQ(window[399 * 400 + 399], 0u);
}

// Every window pixel, for desktops of many shapes (wider and narrower than the frame's
// aspect, odd sizes, enlarged by less and more than two, one to one): the picture pixel shows
// frame pixel (x * 800 / width, y * 600 / height) of the picture, the rest is black.
TEST(LetterboxTest, DrawShowsTheNearestFramePixelEverywhere) {
  const std::vector<uint32_t> frame = CoordinateFrame();
  const Point sizes[] = {{1280, 1024}, {1920, 1080}, {1366, 768}, {800, 600}, {1001, 777}, {1700, 1275}, {3840, 2160}};
  for (const Point size : sizes) {
    SCOPED_TRACE(testing::Message() << size.x << "x" << size.y);
    const Letterbox box(size.x, size.y);
    std::vector<uint32_t> window(static_cast<size_t>(size.x) * size.y, 0xDEADBEEF);
    box.Draw(frame.data(), 800 * 4, window.data(), size.x * 4);
    const platform::Rect p = box.Picture();
    const int64_t w = p.right - p.left, h = p.bottom - p.top;
    size_t wrong = 0;
    for (int32_t y = 0; y < size.y; ++y) {
      for (int32_t x = 0; x < size.x; ++x) {
        const bool inside = x >= p.left && x < p.right && y >= p.top && y < p.bottom;
        const uint32_t expected =
            inside ? Code(static_cast<int32_t>((x - p.left) * 800 / w), static_cast<int32_t>((y - p.top) * 600 / h)) : 0;
        if (window[static_cast<size_t>(y) * size.x + x] != expected) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0u);
  }
}

}  // namespace
