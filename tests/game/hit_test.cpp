// Explosion effects: kinds by hit type, the delayed counter and its frames.
#include "game/hit.h"

#include <gtest/gtest.h>

#include "game/game.h"
#include "fakes/world_fixture.h"
#include "graphics/images.h"

namespace {

TEST(HitKind, SmallForTypes0To8LargeFor9To17) {
  const std::pair<uint8_t, uint8_t> cases[] = {{0, 0},  {1, 1},  {2, 2},  {5, 2}, {8, 2}, {9, 3},
                                               {10, 4}, {11, 5}, {12, 3}, {17, 5}, {18, 0},
                                               {255, 0}};
  for (auto [type, kind] : cases) EXPECT_EQ(THit::KindOfType(type), kind) << int(type);
}

// Whether any pixel of the 64 x 64 frame at (x, y) carries the explosion sprite's colour.
bool Drawn(const gfx::TSurface& s, int x, int y, uint32_t colour) {
  for (int dy = 0; dy < 64; ++dy) {
    for (int dx = 0; dx < 64; ++dx) {
      if (s.GetPixel(x + dx, y + dy) == colour) return true;
    }
  }
  return false;
}

TEST_F(WorldTest, DelayedExplosionWaitsTenStepsAndEndsAtTheTwentySixth) {
  THit hit(9, 100, 100, 0, -10);
  for (int step = 1; step <= 26; ++step) {
    fake.clock.Advance(31);  // every step advances the counter
    back->Fill(0);
    const int16_t before = hit.Counter;
    const bool alive = hit.Update(back.get());
    const bool drawn = Drawn(*back, 100, 100, SpriteColour(42));
    if (step <= 10) {
      EXPECT_FALSE(drawn) << step;
    } else if (step <= 25) {
      EXPECT_TRUE(drawn) << step;
      EXPECT_EQ(before, step - 11) << "frame shown";
    }
    EXPECT_EQ(alive, step < 26) << step;
  }
}

TEST_F(WorldTest, ExplosionSourceRectangleIsTheFrameBeforeTheAdvance) {
  // A strip whose frame n has colour n + 1 shows which frame was drawn.
  auto& strip = gfx::SpriteImages[39];
  for (int x = 0; x < strip->Width(); ++x) {
    for (int y = 0; y < strip->Height(); ++y) strip->SetPixel(x, y, static_cast<uint32_t>(x / 16 + 1));
  }
  THit hit(0, 50, 50, 0, 0);
  for (int frame = 0; frame < 16; ++frame) {
    fake.clock.Advance(31);
    EXPECT_EQ(hit.Update(back.get()), frame < 15);
    if (frame < 15) {
      EXPECT_EQ(back->GetPixel(55, 55), static_cast<uint32_t>(frame + 1));
    }
  }
}

TEST_F(WorldTest, CounterStepsOnlyAfterMoreThan30Ms) {
  THit hit(0, 0, 0, 0, 0);
  hit.Update(back.get());  // StepTick starts at 0: the first step always advances
  EXPECT_EQ(hit.Counter, 1);
  fake.clock.Advance(30);
  hit.Update(back.get());
  EXPECT_EQ(hit.Counter, 1);
  fake.clock.Advance(1);
  hit.Update(back.get());
  EXPECT_EQ(hit.Counter, 2);
}

TEST_F(WorldTest, GameStepsExplosionsAndEmptiesTheirSlots) {
  Game->AddHit(0, 0, 0, 0);
  Game->AddHit(0, 0, 0, -5);
  ASSERT_TRUE(Game->Hits[1]);
  // Between stages the explosions run; the game waits until both are gone.
  auto step = [&] {
    fake.clock.Advance(31);
    Game->Update({fake.clock.now, FrameInput.Controls}, back.get());
  };
  for (int i = 0; i < 16; ++i) step();
  EXPECT_FALSE(Game->Hits[0]);
  EXPECT_TRUE(Game->Hits[1]);
  EXPECT_EQ(Game->Status, gsBetweenStages);
  for (int i = 0; i < 5; ++i) step();
  EXPECT_FALSE(Game->Hits[1]);
  EXPECT_EQ(Game->Status, gsStageIntro);
}

}  // namespace
