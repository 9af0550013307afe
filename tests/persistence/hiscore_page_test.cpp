#include <gtest/gtest.h>

#include "graphics/draw.h"
#include "persistence/config.h"
#include "persistence/hiscores.h"
#include "shell/program_state.h"

namespace {

// Brightest green channel in a rectangle of the surface.
uint32_t MaxGreen(const gfx::TSurface& s, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  uint32_t best = 0;
  for (int32_t y = top; y < bottom; ++y) {
    for (int32_t x = left; x < right; ++x) best = std::max(best, (s.GetPixel(x, y) >> 8) & 0xFF);
  }
  return best;
}

}  // namespace

TEST(HiScorePage, DrawsHeadingsAndTenRowsAtTheirPlacesAndColours) {
  ResetProgramState();
  HiScores[0] = {"Ace", 123456};
  HiScores[9] = {"Last", -7};
  gfx::TSurface page(800, 600);
  page.Fill(0);
  DrawHiScores(&page);

  // The same texts drawn one by one where the page has them.
  gfx::TSurface expected(800, 600);
  expected.Fill(0);
  gfx::DrawLabel(270, 124, 24, 16, "Place", &expected, 0x00FF00);
  gfx::DrawLabel(450, 124, 24, 14, "Name", &expected, 0x00FF00);
  gfx::DrawLabel(640, 124, 24, 16, "Score", &expected, 0x00FF00);
  for (int i = 0; i < kHiScoreCount; ++i) {
    const int32_t y = 160 + 36 * i;
    const uint32_t colour = i == 0 ? 0x00FF00 : 0x228822;
    gfx::DrawLabel(310, y, 24, 16, std::to_string(i + 1), &expected, colour);
    gfx::DrawLabel(410, y, 24, 14, HiScores[i].Name, &expected, colour);
    gfx::DrawLabel(640, y, 24, 16, std::to_string(HiScores[i].Score), &expected, colour);
  }
  for (int32_t y = 0; y < 600; ++y) {
    for (int32_t x = 0; x < 800; ++x) {
      ASSERT_EQ(page.GetPixel(x, y), expected.GetPixel(x, y)) << "at " << x << ", " << y;
    }
  }

  // The best entry stands out in bright green, the others in the dark one.
  EXPECT_EQ(MaxGreen(page, 410, 160, 600, 190), 0xFFu);
  const uint32_t second = MaxGreen(page, 410, 196, 600, 226);
  EXPECT_GT(second, 0x40u);
  EXPECT_LT(second, 0xD0u);
  EXPECT_EQ(MaxGreen(page, 0, 0, 800, 120), 0u);  // nothing above the headings
}
