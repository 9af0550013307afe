// Asteroids: creation, drift, animation, collision with the player ship, leaving the field.
#include "game/asteroid.h"

#include <gtest/gtest.h>

#include "game/game.h"
#include "game/hit.h"
#include "game/my_ship.h"
#include "fakes/parked_ship_fixture.h"
#include "fakes/world_fixture.h"

namespace {

class AsteroidTest : public ParkedShipTest<390, 500> {};

TEST_F(AsteroidTest, RocksStartOnTheTopEdgeDriftingTowardsTheMiddle) {
  std::array<int, 2> kinds{};
  for (int i = 0; i < 300; ++i) {
    TAsteroid rock(3);
    ASSERT_LE(rock.Kind, 1);
    ++kinds[rock.Kind];
    EXPECT_EQ(rock.Slot, 3);
    EXPECT_EQ(rock.Y, 0);
    EXPECT_GE(rock.X, 50);
    EXPECT_LT(rock.X, 750);
    EXPECT_EQ(rock.DX < 0, rock.X > 400);
    EXPECT_GE(std::abs(rock.DX), 1);
    EXPECT_LE(std::abs(rock.DX), 2);
    EXPECT_GE(rock.DY, 4);
    EXPECT_LE(rock.DY, 5);
    EXPECT_EQ(rock.HitPoints, 5);
    EXPECT_EQ(rock.Frame, 0);
  }
  EXPECT_GT(kinds[0], 100);
  EXPECT_GT(kinds[1], 100);
}

TEST_F(AsteroidTest, DriftsAndTumblesThroughItsEightFrames) {
  TAsteroid rock(0);
  rock.Kind = 1;
  rock.X = 100;
  rock.DX = 2;
  rock.DY = 5;
  rock.AnimTick = fake.clock.now;
  back->Fill(0);
  EXPECT_TRUE(rock.Update(back.get()));
  EXPECT_EQ(rock.X, 102);
  EXPECT_EQ(rock.Y, 5);
  EXPECT_EQ(rock.Frame, 0);
  EXPECT_EQ(back->GetPixel(110, 10), SpriteColour(38));
  for (int frame = 1; frame <= 8; ++frame) {
    fake.clock.Advance(201);
    EXPECT_TRUE(rock.Update(back.get()));
    EXPECT_EQ(rock.Frame, frame % 8);
  }
}

TEST_F(AsteroidTest, HittingTheShipExplodesAtTheOverlapsCornerAndCostsTen) {
  TAsteroid rock(0);
  rock.Kind = 0;  // 36 x 31
  rock.X = 370;
  rock.Y = 480;
  rock.DX = 1;
  rock.DY = 4;
  EXPECT_FALSE(rock.Update(back.get()));  // at (371, 484): overlap (390, 500)-(407, 515)
  EXPECT_EQ(rock.X, 810);
  EXPECT_EQ(Game->Energy, 114);
  ASSERT_NE(Game->Hits[0], nullptr);
  EXPECT_EQ(Game->Hits[0]->X, 407);
  EXPECT_EQ(Game->Hits[0]->Y, 515);
  EXPECT_EQ(Game->Hits[0]->Kind, 0);
}

TEST_F(AsteroidTest, LeavesTheFieldOrBreaksUp) {
  struct Case {
    int16_t x, y, dx, dy;
    int8_t hitPoints;
    bool stays;
  };
  const Case cases[] = {
      {795, 100, 5, 0, 5, true},   {796, 100, 5, 0, 5, false}, {100, 596, 0, 4, 5, true},
      {100, 597, 0, 4, 5, false},  {-8, 100, -2, 0, 5, true},  {-9, 100, -2, 0, 5, false},
      {100, 100, 1, 4, 1, true},   {100, 100, 1, 4, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    TAsteroid rock(0);
    rock.X = c.x;
    rock.Y = c.y;
    rock.DX = c.dx;
    rock.DY = c.dy;
    rock.HitPoints = c.hitPoints;
    EXPECT_EQ(rock.Update(back.get()), c.stays);
  }
}

TEST_F(AsteroidTest, ShotDamageStopsAtTheLowestHitPoints) {
  TAsteroid rock(0);
  rock.TakeDamage(90);
  EXPECT_EQ(rock.HitPoints, -85);
  rock.TakeDamage(90);  // would wrap to +81 in 8 bits
  EXPECT_EQ(rock.HitPoints, -128);
  EXPECT_FALSE(rock.Update(back.get()));
}

}  // namespace
