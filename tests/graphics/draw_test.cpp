#include "graphics/draw.h"

#include <gtest/gtest.h>

#include "graphics/copy_check.h"

namespace gfx {
namespace {

constexpr uint32_t kBackground = 0x102030;

struct SpriteCase {
  const char* name;
  Rect src;
  int16_t x, y;
  Rect drawn;        // target pixels that receive the sprite (right, bottom exclusive)
  int32_t sx0, sy0;  // source pixel landing on drawn.left, drawn.top
};

class DrawSpriteTest : public ::testing::TestWithParam<SpriteCase> {};

TEST_P(DrawSpriteTest, ClipsToTheScreen) {
  const SpriteCase& c = GetParam();
  // A wide strip of frames with a key pixel at (112, 3).
  static const TSurface strip = testing_support::MakeNumbered(1000, 40, 112, 3);
  TSurface screen(800, 600);
  screen.Fill(kBackground);
  DrawSprite(&strip, &screen, c.src, c.x, c.y);
  EXPECT_TRUE(testing_support::ShowsCopy(screen, strip, c.drawn, c.sx0, c.sy0, kBackground, true));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawSpriteTest,
    ::testing::Values(
        // Frame 3 of a 36-wide strip at x 790: its left 10 columns, source 108..117.
        SpriteCase{"right_edge_frame", {108, 0, 144, 31}, 790, 100, {790, 100, 800, 131}, 108, 0},
        // 20 rows at y 590: 8 rows, the bottom limit is 598.
        SpriteCase{"bottom_limit", {0, 0, 30, 20}, 50, 590, {50, 590, 80, 598}, 0, 0},
        SpriteCase{"left_edge", {0, 0, 36, 20}, -20, 10, {0, 10, 16, 30}, 20, 0},
        SpriteCase{"top_edge", {100, 0, 130, 20}, 5, -7, {5, 0, 35, 13}, 100, 7},
        SpriteCase{"beyond_right", {0, 0, 36, 20}, 800, 10, {0, 0, 0, 0}, 0, 0},
        SpriteCase{"far_beyond_right", {0, 0, 36, 20}, 2000, 10, {0, 0, 0, 0}, 0, 0},
        SpriteCase{"below_limit", {0, 0, 36, 20}, 10, 598, {0, 0, 0, 0}, 0, 0},
        SpriteCase{"beyond_left", {0, 0, 36, 20}, -36, 10, {0, 0, 0, 0}, 0, 0},
        SpriteCase{"above", {0, 0, 36, 20}, 10, -25, {0, 0, 0, 0}, 0, 0},
        SpriteCase{"both_edges", {0, 0, 900, 10}, -20, 300, {0, 300, 800, 310}, 20, 0},
        SpriteCase{"corner", {0, 0, 40, 30}, 780, 580, {780, 580, 800, 598}, 0, 0},
        SpriteCase{"inside_keyed", {100, 0, 136, 10}, 400, 200, {400, 200, 436, 210}, 100, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DrawSpriteEdgeTest, MissingSurfacesDrawNothing) {
  TSurface screen(800, 600);
  DrawSprite(nullptr, &screen, Rect{0, 0, 10, 10}, 0, 0);
  DrawSprite(&screen, nullptr, Rect{0, 0, 10, 10}, 0, 0);
  EXPECT_EQ(screen.GetPixel(0, 0), 0u);
}

TEST(PointInRectTest, BordersAreOutside) {
  struct Case {
    int32_t px, py;
    bool inside;
  } cases[] = {
      {15, 25, true},  {11, 21, true},  {19, 29, true},  {10, 25, false}, {20, 25, false},
      {15, 20, false}, {15, 30, false}, {10, 20, false}, {20, 30, false}, {9, 25, false},
      {15, 31, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PointInRect(10, 20, 20, 30, c.px, c.py), c.inside) << c.px << "," << c.py;
  }
}

TEST(FillRoundRectTest, FillsTheRectangleInTheColour) {
  TSurface s(10, 10);
  s.Fill(kBackground);
  FillRoundRect(2, 3, 4, 2, 0x228822, &s);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool in = x >= 2 && x < 6 && y >= 3 && y < 5;
      EXPECT_EQ(s.GetPixel(x, y), in ? 0x228822u : kBackground) << x << "," << y;
    }
}

TEST(FillRoundRectTest, ClipsAndIgnoresEmptySizes) {
  TSurface s(4, 4);
  FillRoundRect(-2, 2, 10, 10, 0xFF0000, &s);
  FillRoundRect(0, 0, 0, 3, 0x00FF00, &s);
  FillRoundRect(0, 0, 3, -1, 0x00FF00, &s);
  EXPECT_EQ(s.GetPixel(0, 2), 0xFF0000u);
  EXPECT_EQ(s.GetPixel(3, 3), 0xFF0000u);
  EXPECT_EQ(s.GetPixel(0, 1), 0u);
}

}  // namespace
}  // namespace gfx
