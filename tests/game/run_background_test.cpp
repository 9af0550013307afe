// Background layers: tile grid, scrolling, the distance they measure and the sideways shift.
#include "game/run_background.h"

#include <gtest/gtest.h>

#include "game/game.h"
#include "fakes/world_fixture.h"

namespace {

TEST_F(WorldTest, LayerKindsGiveTheirTileSizeAndGrid) {
  const struct {
    uint8_t kind;
    uint16_t w, h;
    uint8_t columns, rows;
  } cases[] = {{0, 400, 300, 2, 2}, {1, 800, 200, 1, 3}, {2, 512, 486, 1, 1},
               {3, 300, 200, 2, 3}, {7, 300, 200, 2, 3}, {9, 160, 120, 5, 5}};
  for (auto c : cases) {
    TRunBackground layer(160, 120, c.kind, 15);
    EXPECT_EQ(layer.TileWidth, c.w);
    EXPECT_EQ(layer.TileHeight, c.h);
    EXPECT_EQ(layer.Columns, c.columns);
    EXPECT_EQ(layer.Rows, c.rows);
    EXPECT_EQ(layer.ScrollTick, fake.clock.now);
  }
}

TEST_F(WorldTest, LayerScrollsOnePixelAfterMoreThanItsIntervalAndCountsDistance) {
  TRunBackground layer(0, 0, 2, 15);
  const int32_t distance = Game->Distance;
  fake.clock.Advance(15);
  layer.Draw(back.get());
  EXPECT_EQ(layer.OffsetY, 0);
  fake.clock.Advance(1);
  layer.Draw(back.get());
  EXPECT_EQ(layer.OffsetY, 1);
  EXPECT_EQ(Game->Distance, distance + 1);
  layer.OffsetY = 485;
  fake.clock.Advance(16);
  layer.Draw(back.get());
  EXPECT_EQ(layer.OffsetY, 0);
}

TEST_F(WorldTest, ShiftWrapsWithinTheTileWidth) {
  TRunBackground layer(0, 0, 3, 1);
  const std::pair<int16_t, int16_t> steps[] = {{2, 2}, {-2, 0}, {-2, 298}, {4, 2}, {300, 2},
                                               {-601, 1}};
  for (auto [dx, want] : steps) {
    layer.ShiftX(dx);
    EXPECT_EQ(layer.OffsetX, want);
  }
}

// Every screen pixel is covered by the layer whatever its offsets.
TEST_F(WorldTest, LayerCoversTheScreenAtEveryOffset) {
  for (uint8_t kind : {2, 3}) {
    TRunBackground layer(0, 0, kind, 1);
    const uint32_t colour = SpriteColour(kind);
    for (int16_t dx : {0, 1, 150, 299, 511}) {
      for (int16_t oy : {0, 1, 199}) {
        layer.OffsetX = 0;
        layer.ShiftX(dx);
        layer.OffsetY = oy;
        back->Fill(0);
        layer.Draw(back.get());
        for (int y = 0; y < 598; y += 13) {
          for (int x = 0; x < 800; x += 7) {
            ASSERT_EQ(back->GetPixel(x, y), colour) << int(kind) << " " << dx << " " << oy;
          }
        }
      }
    }
  }
}

}  // namespace
