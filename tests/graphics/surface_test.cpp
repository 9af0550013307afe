#include "graphics/surface.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

// The fast copies against the one-pixel-at-a-time reference, on pictures whose transparent
// pixels form long stretches, single pixels and dithered rows, for whole pictures and for
// rectangles cut out of them at every edge.
struct KeyedPattern {
  const char* name;
  bool (*transparent)(int32_t x, int32_t y);
};

const KeyedPattern kPatterns[] = {
    {"round_body", [](int32_t x, int32_t y) { return (x - 20) * (x - 20) + (y - 12) * (y - 12) > 100; }},
    {"no_key_pixel", [](int32_t, int32_t) { return false; }},
    {"all_key", [](int32_t, int32_t) { return true; }},
    {"dithered", [](int32_t x, int32_t y) { return (x + y) % 2 == 0; }},
    {"stripes_and_dots", [](int32_t x, int32_t y) { return x % 7 < 3 || (x * 31 + y * 17) % 11 == 0; }},
    // Opaque runs of every length from 1 to 39, at every distance from the right edge.
    {"one_key_pixel_per_row", [](int32_t x, int32_t y) { return x == y + 1; }},
    // Dithered rows between rows of runs.
    {"dithered_band",
     [](int32_t x, int32_t y) {
       return y >= 10 && y < 14 ? (x + y) % 2 == 0 : (x - 20) * (x - 20) + (y - 12) * (y - 12) > 100;
     }},
};

TSurface MakePatterned(const KeyedPattern& p, int32_t w, int32_t h) {
  TSurface s(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      s.SetPixel(x, y, p.transparent(x, y) ? kKey : static_cast<uint32_t>(0x010203 * (x + 1) + y));
  s.SetColorKey(kKey);
  return s;
}

// The target after the copy, made by the reference or by the fast path.
TSurface CopyWith(bool plain, const TSurface& src, int32_t x, int32_t y, const Rect* r) {
  UsePlainCopies(plain);
  TSurface dst(60, 40);
  dst.Fill(kBackground);
  dst.BltFast(x, y, src, r, kBltNoWaitSrcKey);
  UsePlainCopies(false);
  return dst;
}

bool SamePixels(const TSurface& a, const TSurface& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

TEST(SurfaceTest, KeyedCopyMatchesThePlainReference) {
  const Rect rects[] = {{0, 0, 41, 25}, {3, 2, 38, 20}, {10, 0, 11, 25}, {0, 5, 41, 6}, {39, 1, 41, 24}};
  const int32_t places[][2] = {{0, 0}, {5, 7}, {-9, -4}, {40, 30}, {-30, 20}};
  for (const KeyedPattern& p : kPatterns) {
    const TSurface src = MakePatterned(p, 41, 25);
    for (const auto& at : places) {
      SCOPED_TRACE(testing::Message() << p.name << " at " << at[0] << "," << at[1]);
      EXPECT_TRUE(SamePixels(CopyWith(true, src, at[0], at[1], nullptr),
                             CopyWith(false, src, at[0], at[1], nullptr)));
      for (const Rect& r : rects) {
        EXPECT_TRUE(SamePixels(CopyWith(true, src, at[0], at[1], &r), CopyWith(false, src, at[0], at[1], &r)))
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
      }
    }
  }
}

TEST(SurfaceTest, KeyedCopyFollowsChangedPixelsAndKey) {
  TSurface src = MakePatterned(kPatterns[0], 41, 25);
  TSurface first(60, 40);
  first.BltFast(0, 0, src, nullptr, kBltWaitSrcKey);
  // Each change after a copy must show in the next copy: a pixel, a row, the whole key.
  src.SetPixel(0, 0, 0x00AA00);
  src.Row(24)[40] = 0x0000BB;
  TSurface second(60, 40);
  second.BltFast(0, 0, src, nullptr, kBltWaitSrcKey);
  EXPECT_EQ(second.GetPixel(0, 0), 0x00AA00u);
  EXPECT_EQ(second.GetPixel(40, 24), 0x0000BBu);
  src.SetColorKey(0x00AA00);
  TSurface third(60, 40);
  third.Fill(kBackground);
  third.BltFast(0, 0, src, nullptr, kBltWaitSrcKey);
  EXPECT_EQ(third.GetPixel(0, 0), kBackground) << "the new key is transparent";
  EXPECT_EQ(third.GetPixel(40, 0), kKey) << "the old key is an ordinary colour now";
  src.Fill(0x00AA00);
  TSurface fourth(60, 40);
  fourth.Fill(kBackground);
  fourth.BltFast(0, 0, src, nullptr, kBltWaitSrcKey);
  EXPECT_EQ(fourth.GetPixel(20, 12), kBackground) << "a fill to the key makes all transparent";
}

TEST(SurfaceTest, FillMatchesThePlainReference) {
  const uint32_t colours[] = {0x000000, 0x7F7F7F, 0xFFFFFF, 0x123456, 0xFF000000 | 0x00FF00};
  const Rect rects[] = {{0, 0, 60, 40}, {-5, -5, 100, 100}, {3, 4, 17, 9}, {59, 0, 60, 40}, {5, 5, 5, 9}};
  for (const uint32_t c : colours) {
    for (const Rect& r : rects) {
      TSurface plain(60, 40), fast(60, 40);
      plain.Fill(0x345678);
      fast.Fill(0x345678);
      UsePlainCopies(true);
      plain.FillRect(r, c);
      UsePlainCopies(false);
      fast.FillRect(r, c);
      EXPECT_TRUE(SamePixels(plain, fast)) << std::hex << c << " " << r.left << "," << r.top;
    }
  }
}

// The black clear of a whole surface is paid late, and only where no opaque copy covered it.
// After any mix of copies, fills, reads and pixel writes the picture must be the one an
// immediate clear gives, also when the surface is then copied from.
TEST(SurfaceTest, LateClearGivesThePicturesOfAnImmediateOne) {
  using Step = std::function<void(TSurface& target, const TSurface& tile, const TSurface& sprite)>;
  const auto tiles = [](int32_t dx, int32_t dy, bool leftwards) -> Step {
    return [=](TSurface& t, const TSurface& tile, const TSurface&) {
      for (int32_t y = dy; y < 40; y += tile.Height()) {
        for (int32_t i = 0; i < 5; ++i) {
          const int32_t x = dx + (leftwards ? 4 - i : i) * tile.Width();
          // The bottom rows stay uncovered, as under the game's background.
          Rect r{0, 0, tile.Width(), std::min(tile.Height(), 37 - y)};
          t.BltFast(x, y, tile, &r, kBltNoWaitSrcKey);
        }
      }
    };
  };
  const auto copy = [](int32_t x, int32_t y, Rect r, uint32_t mode) -> Step {
    return [=](TSurface& t, const TSurface& tile, const TSurface&) { t.BltFast(x, y, tile, &r, mode); };
  };
  const Step sprite = [](TSurface& t, const TSurface&, const TSurface& s) {
    t.BltFast(9, 8, s, nullptr, kBltNoWaitSrcKey);
  };
  struct Scenario {
    const char* name;
    std::vector<Step> steps;
  };
  const std::vector<Scenario> scenarios = {
      {"nothing_drawn", {}},
      {"tiles_then_sprite", {tiles(-5, -3, false), sprite}},
      {"tiles_laid_leftwards", {tiles(-7, -1, true), sprite}},
      {"copies_with_a_gap", {copy(0, 5, {0, 0, 16, 10}, kBltWait), copy(30, 5, {0, 0, 16, 10}, kBltWait)}},
      {"copies_overlapping", {copy(10, 5, {0, 0, 16, 10}, kBltWait), copy(2, 8, {0, 0, 16, 10}, kBltWait)}},
      {"pixels_in_covered_rows",
       {copy(0, 0, {0, 0, 16, 10}, kBltWait),
        [](TSurface& t, const TSurface&, const TSurface&) {
          t.SetPixel(40, 2, 0x00FF00);
          t.SetPixel(3, 3, 0x0000FF);
          t.Row(4)[59] = 0xFF0000;
        }}},
      {"read_between_copies",
       {copy(0, 0, {0, 0, 16, 10}, kBltWait),
        [](TSurface& t, const TSurface&, const TSurface&) { EXPECT_EQ(t.GetPixel(50, 1), 0u); },
        copy(16, 0, {0, 0, 16, 10}, kBltWait)}},
      {"copy_within_itself",
       {tiles(0, 0, false),
        [](TSurface& t, const TSurface&, const TSurface&) {
          Rect r{0, 0, 60, 12};
          t.BltFast(3, 30, t, &r, kBltWait);
        }}},
      {"fills_after_the_clear",
       {tiles(-2, -2, false),
        [](TSurface& t, const TSurface&, const TSurface&) {
          t.FillRect({0, 10, 60, 20}, 0);
          t.FillRect({5, 12, 20, 30}, 0x00FF00);
        },
        sprite}},
      {"cleared_twice", {tiles(-5, -3, false), [](TSurface& t, const TSurface&, const TSurface&) { t.Fill(0); }, sprite}},
      {"keyed_tile_with_holes",
       {[](TSurface& t, const TSurface&, const TSurface& s) {
          t.BltFast(-3, 0, s, nullptr, kBltNoWaitSrcKey);
          t.BltFast(38, 0, s, nullptr, kBltNoWaitSrcKey);
        }}},
  };
  TSurface tile = MakePatterned(kPatterns[1], 16, 10);  // opaque, but keyed like the game's tiles
  const TSurface sprite2 = MakePatterned(kPatterns[0], 41, 25);
  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    TSurface pictures[2] = {TSurface(60, 40), TSurface(60, 40)};
    TSurface copies[2] = {TSurface(60, 40), TSurface(60, 40)};
    for (int plain = 0; plain < 2; ++plain) {
      UsePlainCopies(plain == 1);
      TSurface& t = pictures[plain];
      t.Fill(kBackground);  // the last frame's picture, which the clear must not leave behind
      t.Fill(0);
      for (const Step& step : scenario.steps) step(t, tile, sprite2);
      copies[plain].BltFast(0, 0, t, nullptr, kBltWait);
      UsePlainCopies(false);
    }
    EXPECT_TRUE(SamePixels(copies[0], copies[1])) << "copied from";
    EXPECT_TRUE(SamePixels(pictures[0], pictures[1]));
  }
}

TEST(SurfaceTest, ViewDrawsIntoTheOwnersPixels) {
  std::vector<uint32_t> memory(6 * 4, 0xABCDEF);
  TSurface view = TSurface::View(memory.data(), 6, 4);
  EXPECT_TRUE(view.IsView());
  EXPECT_EQ(view.Pixels(), memory.data());
  view.Fill(0);
  view.BltFast(1, 1, MakeSource(), nullptr, kBltWait);
  // The owner shows the pixels it is handed, which holds the clear as well.
  EXPECT_EQ(view.Pixels(), memory.data());
  EXPECT_EQ(memory[0], 0u);
  EXPECT_EQ(memory[1 * 6 + 1], MakeSource().GetPixel(0, 0));
  EXPECT_EQ(memory[3 * 6 + 5], MakeSource().GetPixel(4, 2));
}

}  // namespace
}  // namespace gfx
