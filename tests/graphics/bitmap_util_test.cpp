#include "graphics/bitmap_util.h"

#include <gtest/gtest.h>

#include "fakes/test_pack.h"

namespace gfx {
namespace {

TEST(DecodeBmpTest, Reads24BitPicturesTopToBottom) {
  const auto bmp = testpack::MakeBmp24(5, 3, [](int x, int y) { return 0x102030u + x * 0x10 + y; });
  Bitmap b;
  std::string error;
  ASSERT_TRUE(DecodeBmp(bmp.data(), bmp.size(), b, error)) << error;
  ASSERT_EQ(b.width, 5);
  ASSERT_EQ(b.height, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(b.pixels[y * 5 + x], 0x102030u + x * 0x10 + y);
}

TEST(DecodeBmpTest, RefusesWhatIsNoBitmap) {
  const auto bmp = testpack::MakeBmp24(4, 4, [](int, int) { return 0u; });
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"not_bm", {'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"header_only", std::vector<uint8_t>(bmp.begin(), bmp.begin() + 20)},
      {"pixels_cut", std::vector<uint8_t>(bmp.begin(), bmp.end() - 20)},
  };
  for (const Case& c : cases) {
    Bitmap b;
    std::string error;
    EXPECT_FALSE(DecodeBmp(c.bytes.data(), c.bytes.size(), b, error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
}

TEST(CopyBitmapToSurfaceTest, CopiesAndStretchesParts) {
  Bitmap b{4, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
  TSurface same(4, 2);
  EXPECT_EQ(CopyBitmapToSurface(&same, &b, 0, 0, 0, 0), 0);
  EXPECT_EQ(same.GetPixel(3, 1), 8u);
  // The right half (2, 0, 2, 2) doubled in width onto a 4 x 2 surface.
  TSurface stretched(4, 2);
  EXPECT_EQ(CopyBitmapToSurface(&stretched, &b, 2, 0, 2, 2), 0);
  const uint32_t expected[] = {3, 3, 4, 4, 7, 7, 8, 8};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(stretched.Pixels()[i], expected[i]) << i;
  EXPECT_EQ(CopyBitmapToSurface(nullptr, &b, 0, 0, 0, 0), kEFail);
  EXPECT_EQ(CopyBitmapToSurface(&same, nullptr, 0, 0, 0, 0), kEFail);
}

TEST(ColorKeyTest, ColorMatchAndSetColorKeyRGB) {
  TSurface s(2, 2);
  s.SetPixel(0, 0, 0x123456);
  EXPECT_EQ(ColorMatch(&s, 0xFF00FF), 0xFF00FFu);
  EXPECT_EQ(ColorMatch(&s, kInvalidColor), 0x123456u);
  EXPECT_EQ(s.GetPixel(0, 0), 0x123456u);
  EXPECT_EQ(ColorMatch(nullptr, 0xFF00FF), kInvalidColor);
  EXPECT_EQ(SetColorKeyRGB(&s, 0x000000), 0);
  EXPECT_EQ(s.ColorKey(), std::optional<uint32_t>(0u));
  EXPECT_EQ(SetColorKeyRGB(nullptr, 0), kEFail);
}

}  // namespace
}  // namespace gfx
