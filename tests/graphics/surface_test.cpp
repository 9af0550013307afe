#include "graphics/surface.h"

#include <gtest/gtest.h>

#include "graphics/copy_check.h"

namespace gfx {
namespace {

using testing_support::kKey;
constexpr uint32_t kBackground = 0x123456;

// Source 8 x 6 with the key pixel at (2, 1).
TSurface MakeSource() { return testing_support::MakeNumbered(8, 6, 2, 1); }

TEST(SurfaceTest, NewSurfaceIsBlackWithoutKey) {
  TSurface s(3, 2);
  EXPECT_EQ(s.Width(), 3);
  EXPECT_EQ(s.Height(), 2);
  EXPECT_EQ(s.Pitch(), 12);
  EXPECT_EQ(s.GetPixel(2, 1), 0u);
  EXPECT_FALSE(s.ColorKey().has_value());
}

TEST(SurfaceTest, FillAndClippedFillRect) {
  TSurface s(4, 4);
  EXPECT_EQ(s.Fill(0xAB00CD), 0);
  s.FillRect(Rect{2, -3, 10, 2}, 0x00FF00);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(s.GetPixel(x, y), (x >= 2 && y < 2) ? 0x00FF00u : 0xAB00CDu) << x << "," << y;
}

struct BltCase {
  const char* name;
  int32_t x, y;
  bool wholeSource;
  Rect src;
  uint32_t mode;
  int32_t result;
  Rect drawn;  // target rectangle that must hold source pixels
  int32_t sx0, sy0;  // source pixel copied to drawn.left/top
  bool keyed;
};

class BltFastTest : public ::testing::TestWithParam<BltCase> {};

TEST_P(BltFastTest, CopiesExactlyTheClippedRectangle) {
  const BltCase& c = GetParam();
  const TSurface src = MakeSource();
  TSurface dst(10, 8);
  dst.Fill(kBackground);
  EXPECT_EQ(dst.BltFast(c.x, c.y, src, c.wholeSource ? nullptr : &c.src, c.mode), c.result);
  EXPECT_TRUE(testing_support::ShowsCopy(dst, src, c.drawn, c.sx0, c.sy0, kBackground, c.keyed));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BltFastTest,
    ::testing::Values(
        BltCase{"whole_opaque16", 1, 1, true, {}, kBltWait, 0, {1, 1, 9, 7}, 0, 0, false},
        BltCase{"whole_opaque32", 1, 1, true, {}, kBltNoWait, 0, {1, 1, 9, 7}, 0, 0, false},
        BltCase{"whole_keyed17", 1, 1, true, {}, kBltWaitSrcKey, 0, {1, 1, 9, 7}, 0, 0, true},
        BltCase{"whole_keyed33", 1, 1, true, {}, kBltNoWaitSrcKey, 0, {1, 1, 9, 7}, 0, 0, true},
        BltCase{"part", 0, 0, false, {2, 1, 5, 3}, kBltNoWaitSrcKey, 0, {0, 0, 3, 2}, 2, 1, true},
        BltCase{"clip_target_right_bottom", 7, 5, true, {}, kBltWait, 0, {7, 5, 10, 8}, 0, 0,
                false},
        BltCase{"clip_target_left_top", -3, -2, true, {}, kBltWait, 0, {0, 0, 5, 4}, 3, 2, false},
        BltCase{"clip_source_edges", 2, 2, false, {-2, -1, 20, 20}, kBltWait, 0, {4, 3, 10, 8}, 0,
                0, false},
        BltCase{"off_target", 10, 0, true, {}, kBltWait, 0, {0, 0, 0, 0}, 0, 0, false},
        BltCase{"empty", 0, 0, false, {3, 0, 3, 4}, kBltWait, -1, {0, 0, 0, 0}, 0, 0, false},
        BltCase{"inverted", 0, 0, false, {5, 0, 2, 4}, kBltNoWaitSrcKey, -1, {0, 0, 0, 0}, 0, 0,
                false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SurfaceTest, KeyedModeWithoutKeyCopiesEverything) {
  TSurface src = MakeSource();
  src.ClearColorKey();
  TSurface dst(8, 6);
  dst.BltFast(0, 0, src, nullptr, kBltNoWaitSrcKey);
  EXPECT_EQ(dst.GetPixel(2, 1), kKey);
}

TEST(SurfaceTest, KeyedCopyOfWideRowsSkipsEveryKeyPixel) {
  // Wider than one vector step, with key pixels at every phase.
  TSurface src(37, 2);
  for (int x = 0; x < 37; ++x) {
    src.SetPixel(x, 0, x % 3 == 0 ? kKey : 0x000100u * x);
    src.SetPixel(x, 1, x % 5 == 1 ? kKey : 0x010000u * x);
  }
  src.SetColorKey(kKey);
  TSurface dst(37, 2);
  dst.Fill(kBackground);
  dst.BltFast(0, 0, src, nullptr, kBltWaitSrcKey);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 37; ++x) {
      const uint32_t s = src.GetPixel(x, y);
      EXPECT_EQ(dst.GetPixel(x, y), s == kKey ? kBackground : s) << x << "," << y;
    }
}

TEST(SurfaceTest, OverlappingCopyWithinOneSurface) {
  TSurface s(4, 4);
  for (int y = 0; y < 4; ++y) s.FillRect(Rect{0, y, 4, y + 1}, 0x10u * (y + 1));
  Rect top{0, 0, 4, 3};
  s.BltFast(0, 1, s, &top, kBltWait);
  EXPECT_EQ(s.GetPixel(0, 0), 0x10u);
  EXPECT_EQ(s.GetPixel(0, 1), 0x10u);
  EXPECT_EQ(s.GetPixel(0, 2), 0x20u);
  EXPECT_EQ(s.GetPixel(0, 3), 0x30u);
}

}  // namespace
}  // namespace gfx
