#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "graphics/draw.h"
#include "graphics/font_cache.h"
#include "platform/platform.h"
#if defined(_WIN32)
#include "platform/windows/windows_font_locator.h"
#else
#include "platform/sdl/sdl_font_locator.h"
#endif

namespace gfx {
namespace {

// Bounding box of the pixels that are not black (right, bottom exclusive); empty when none.
Rect InkBox(const TSurface& s) {
  Rect box{s.Width(), s.Height(), 0, 0};
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.GetPixel(x, y) != 0) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
  return box;
}

std::map<uint32_t, int> Histogram(const TSurface& s) {
  std::map<uint32_t, int> counts;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) ++counts[s.GetPixel(x, y)];
  return counts;
}

bool SamePixels(const TSurface& a, const TSurface& b) {
  return std::equal(a.Pixels(), a.Pixels() + a.Width() * a.Height(), b.Pixels());
}

class TextTest : public ::testing::Test {
 protected:
  // No font locator: the text code falls back to the DejaVu face every machine here has.
  void SetUp() override {
    platform::SetServices(platform::Platform{});
    ResetFontCache();
  }
  void TearDown() override { ResetFontCache(); }
};

TEST_F(TextTest, LabelOffsetTintDependsOnTheColour) {
  struct Case {
    uint32_t rgb, tint, otherTint;
  } cases[] = {
      {0x00FF00, 0x78FF78, 0x30BB30},
      {0x228822, 0x30BB30, 0x78FF78},
      {0xFF0000, 0x30BB30, 0x78FF78},
  };
  for (const Case& c : cases) {
    TSurface s(220, 60);
    DrawLabel(10, 10, 28, 18, "HELP", &s, c.rgb);
    const auto counts = Histogram(s);
    EXPECT_GT(counts.count(c.rgb) ? counts.at(c.rgb) : 0, 20) << std::hex << c.rgb;
    EXPECT_GT(counts.count(c.tint) ? counts.at(c.tint) : 0, 5) << std::hex << c.rgb;
    EXPECT_EQ(counts.count(c.otherTint), 0u) << std::hex << c.rgb;
  }
}

TEST_F(TextTest, LabelOffsetCopyLiesOnePixelDownAndRight) {
  TSurface plain(220, 60);
  TSurface label(220, 60);
  DrawTextLeft(10, 10, 28, 18, "HELP", &plain, 0x00FF00);
  DrawLabel(10, 10, 28, 18, "HELP", &label, 0x00FF00);
  const Rect p = InkBox(plain);
  const Rect l = InkBox(label);
  ASSERT_LT(p.left, p.right);
  EXPECT_EQ(l.left, p.left);
  EXPECT_EQ(l.top, p.top);
  EXPECT_EQ(l.right, p.right + 1);
  EXPECT_EQ(l.bottom, p.bottom + 1);
  // The requested colour is drawn last, so every fully covered text pixel keeps it.
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 220; ++x) {
      if (plain.GetPixel(x, y) == 0x00FF00) {
        ASSERT_EQ(label.GetPixel(x, y), 0x00FF00u);
      }
    }
  }
}

TEST_F(TextTest, RightAlignedTextEndsAtX) {
  const std::string text = "Score 12345";
  const int32_t width = TextWidth(Face::Display, 18, 10, text);
  ASSERT_GT(width, 0);
  TSurface left(300, 40);
  TSurface right(300, 40);
  DrawTextLeft(20, 5, 18, 10, text, &left, 0x00FF00);
  DrawTextAligned(20 + width, 5, 18, 10, text, &right, 0x00FF00, 2);
  EXPECT_TRUE(SamePixels(left, right));
  const Rect ink = InkBox(right);
  EXPECT_LE(ink.right, 20 + width);
  EXPECT_GE(ink.right, 20 + width - 4);
  EXPECT_GE(ink.left, 20 - 2);
}

// The GDI size mapping: `height` is the character cell, `width` the average character.
void ExpectGdiMetrics(Face face) {
  SCOPED_TRACE(static_cast<int>(face));
  // Typical lower-case text is about one average width per character.
  const std::string text = "the quick brown fox";
  for (int32_t w : {8, 10, 14, 20}) {
    const int32_t measured = TextWidth(face, 24, w, text);
    EXPECT_NEAR(measured, static_cast<double>(w) * text.size(), 0.2 * w * text.size()) << w;
  }
  // Doubling the width doubles the text; the height stays.
  const int32_t narrow = TextWidth(face, 24, 10, text);
  const int32_t wide = TextWidth(face, 24, 20, text);
  EXPECT_NEAR(wide, 2 * narrow, 4);
  const TextMask* a = RenderText(face, 24, 10, "Hg");
  ASSERT_NE(a, nullptr);
  const int32_t heightNarrow = a->height;
  const TextMask* b = RenderText(face, 24, 20, "Hg");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->height, heightNarrow);
  EXPECT_NEAR(heightNarrow, 24, 1);
  // The ink of "Hg" spans most of the cell and stays inside it.
  TSurface s(100, 60);
  DrawTextFace(face, 0, 10, 24, 10, "Hg", &s, 0xFFFFFF, 0);
  const Rect ink = InkBox(s);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.bottom, 10 + 25);
  EXPECT_GE(ink.bottom - ink.top, 16);
}

TEST_F(TextTest, CellHeightAndAverageWidthFollowTheRequest) { ExpectGdiMetrics(Face::Display); }

TEST_F(TextTest, CachedDrawingGivesTheSamePicture) {
  TSurface first(200, 40);
  TSurface again(200, 40);
  TSurface fresh(200, 40);
  DrawTextLeft(3, 4, 18, 12, "Options", &first, 0x228822);
  DrawTextLeft(3, 4, 18, 12, "Options", &again, 0x228822);
  ResetFontCache();
  DrawTextLeft(3, 4, 18, 12, "Options", &fresh, 0x228822);
  EXPECT_TRUE(SamePixels(first, again));
  EXPECT_TRUE(SamePixels(first, fresh));
}

TEST_F(TextTest, TextIsBlendedOverTheBackground) {
  TSurface s(200, 40);
  s.Fill(0x0000FF);
  DrawTextLeft(3, 4, 28, 14, "O", &s, 0xFF0000);
  const auto counts = Histogram(s);
  bool blended = false;
  for (const auto& [rgb, n] : counts) {
    const uint32_t r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    EXPECT_EQ(g, 0u);
    if (r > 0 && r < 255) {
      blended = true;
      EXPECT_NEAR(static_cast<double>(r + b), 255.0, 1.0);
    }
  }
  EXPECT_TRUE(blended);
  EXPECT_GT(counts.count(0xFF0000) ? counts.at(0xFF0000) : 0, 10);
}

TEST_F(TextTest, NothingToDraw) {
  TSurface s(50, 30);
  DrawLabel(0, 0, 18, 10, "", &s, 0x00FF00);
  DrawTextLeft(0, 0, 0, 10, "x", &s, 0x00FF00);
  DrawTextLeft(0, 0, 18, 10, "x", nullptr, 0x00FF00);
  EXPECT_EQ(InkBox(s).right, 0);
  EXPECT_EQ(TextWidth(Face::Display, 18, 10, ""), 0);
  // Text running off any edge is clipped, not written outside the surface.
  DrawTextLeft(-30, -10, 40, 30, "WWWW", &s, 0x00FF00);
  DrawTextAligned(5, 20, 40, 30, "WWWW", &s, 0x00FF00, 2);
  EXPECT_GT(InkBox(s).right, 0);
}

TEST_F(TextTest, EntryFaceDrawsToo) {
  TSurface s(300, 50);
  DrawTextFace(Face::Entry, 5, 5, 32, 20, "Player", &s, 0x00FF00, 0);
  EXPECT_GT(InkBox(s).right, 5);
  EXPECT_GT(TextWidth(Face::Entry, 32, 20, "Player"), 60);
}

// The chosen faces themselves, found as the program finds them: through fontconfig, or on
// Windows in the fonts folder the game brings.
class InstalledFaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Platform p;
    p.fonts = &locator_;
    platform::SetServices(p);
    ResetFontCache();
  }
  void TearDown() override {
    platform::SetServices(platform::Platform{});
    ResetFontCache();
  }
#if defined(_WIN32)
  platform::WindowsFontLocator locator_{{std::filesystem::path(STARMOAT_GAME_DIR) / "fonts"}};
#else
  platform::SdlFontLocator locator_;
#endif
};

TEST_F(InstalledFaceTest, FacesAreInstalledAndBold) {
  for (const char* family : {kDisplayFontFamily, kEntryFontFamily}) {
    const std::string path = locator_.FindFont(family, true);
    EXPECT_NE(path.find("Bold"), std::string::npos) << family << ": " << path;
  }
}

TEST_F(InstalledFaceTest, CellHeightAndAverageWidthFollowTheRequest) {
  ExpectGdiMetrics(Face::Display);
  ExpectGdiMetrics(Face::Entry);
}

TEST_F(InstalledFaceTest, AccentedCapitalKeepsTheBaseline) {
  // Accented capitals rise above the ascent of both faces; the line must not move down.
  for (Face face : {Face::Display, Face::Entry}) {
    TSurface plain(200, 60);
    TSurface accented(200, 60);
    DrawTextFace(face, 10, 10, 32, 20, "E", &plain, 0xFFFFFF, 0);
    DrawTextFace(face, 10, 10, 32, 20, "\xC3\x89" "E", &accented, 0xFFFFFF, 0);
    const Rect p = InkBox(plain);
    const Rect a = InkBox(accented);
    EXPECT_EQ(a.bottom, p.bottom) << static_cast<int>(face);
    EXPECT_LT(a.top, p.top) << static_cast<int>(face);
  }
}

}  // namespace
}  // namespace gfx
