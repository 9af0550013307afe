#include "platform/sdl/letterbox.h"

#include <gtest/gtest.h>

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
