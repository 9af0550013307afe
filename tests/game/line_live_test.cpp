// The life bar of enemy ships and bosses.
#include "game/line_live.h"

#include <gtest/gtest.h>

#include "fakes/world_fixture.h"

namespace {

TEST(LineLive, LengthIsProportionalToTheHitPoints) {
  const struct {
    int32_t full, width, now, length;
  } cases[] = {{1000, 150, 1000, 150}, {1000, 150, 503, 75}, {1000, 150, 1, 0},
               {10, 59, 10, 59},       {10, 59, 5, 30},      {3000, 225, 2999, 225},
               {50, 75, 49, 74}};
  for (auto c : cases) {
    int16_t x = 0, y = 0;
    int32_t hp = c.now;
    TLineLive bar(x, y, hp, c.full, c.width);
    EXPECT_EQ(bar.Length(), c.length) << c.now << " of " << c.full;
  }
}

TEST_F(WorldTest, LifeBarDrawsAboveItsOwnerAndHidesAfter101Draws) {
  int16_t x = 100, y = 200;
  int32_t hp = 503;
  TLineLive bar(x, y, hp, 1000, 150);
  bar.Visible = true;
  back->Fill(0);
  bar.Draw(back.get());
  EXPECT_EQ(back->GetPixel(110, 191), kLifeBarColour);
  EXPECT_EQ(back->GetPixel(150, 191), kLifeBarColour);
  EXPECT_EQ(back->GetPixel(150, 193), 0u);  // 3 px high: 190..192
  EXPECT_EQ(back->GetPixel(180, 191), 0u);  // 75 px long: 102..176
  for (int i = 2; i <= 100; ++i) bar.Draw(back.get());
  EXPECT_TRUE(bar.Visible);
  EXPECT_EQ(bar.Counter, 100);
  bar.Draw(back.get());
  EXPECT_FALSE(bar.Visible);
  EXPECT_EQ(bar.Counter, 0);
}

TEST_F(WorldTest, LifeBarFollowsItsOwner) {
  int16_t x = 100, y = 200;
  int32_t hp = 10;
  TLineLive bar(x, y, hp, 10, 59);
  x = 300;
  y = 50;
  back->Fill(0);
  bar.Draw(back.get());
  EXPECT_EQ(back->GetPixel(330, 41), kLifeBarColour);
}

}  // namespace
