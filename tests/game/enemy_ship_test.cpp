// Enemy ships: the four motions, the bounce off the side edges, ramming, destruction.
#include "game/enemy_ship.h"

#include <gtest/gtest.h>

#include "game/bonus.h"
#include "game/game.h"
#include "game/hit.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "fakes/parked_ship_fixture.h"
#include "fakes/world_fixture.h"

namespace {

class EnemyShipTest : public ParkedShipTest<390, 500> {};

TEST_F(EnemyShipTest, CreationTakesTheKindsHitPointsAndGun) {
  TEnemyShip ship(6, 120, -40, kMotionWeave);
  EXPECT_EQ(ship.X, 120);
  EXPECT_EQ(ship.Y, -40);
  EXPECT_EQ(ship.DX, 2);
  EXPECT_EQ(ship.CentreX, 120);
  EXPECT_EQ(ship.HitPoints, 50);
  EXPECT_EQ(ship.Gun.WeaponKind, 6);
  EXPECT_EQ(ship.Gun.Pattern, 6);
  EXPECT_FALSE(ship.Gun.IsPlayer);
  EXPECT_EQ(ship.Gun.Angle, 0.0);
  EXPECT_FALSE(ship.LifeBar.Visible);
  const platform::Rect r = ship.GetRect();
  EXPECT_EQ(r.left, 120);
  EXPECT_EQ(r.top, -40);
  EXPECT_EQ(r.right, 205);
  EXPECT_EQ(r.bottom, 70);
}

TEST_F(EnemyShipTest, TheFourMotions) {
  struct Case {
    uint8_t motion;
    int16_t x, y;   // start
    int frames;
    int16_t endX, endY;
  };
  const Case cases[] = {
      {kMotionDown, 200, 100, 10, 200, 120},
      {kMotionSideways, 200, 100, 10, 220, 100},
      // The weave: x = 70 sin(y / 70), rounded, about the x the ship was created at.
      {kMotionWeave, 200, 100, 10, 269, 120},
      {kMotionWeave, 200, 100, 1, 270, 102},
      {kMotionWeave, 200, -31, 1, 172, -29},
      {kMotionWeave, 200, 0, 150, 136, 300},
      {kMotionDiagonal, 200, 100, 10, 220, 120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "motion " << int(c.motion) << " frames " << c.frames);
    TEnemyShip ship(0, c.x, c.y, c.motion);
    for (int i = 0; i < c.frames; ++i) ship.Move();
    EXPECT_EQ(ship.X, c.endX);
    EXPECT_EQ(ship.Y, c.endY);
  }
}

TEST_F(EnemyShipTest, SidewaysShipBouncesBetweenTheScreenEdges) {
  TEnemyShip ship(0, 739, 100, kMotionSideways);  // 59 wide: right edge at 798
  std::vector<int16_t> xs;
  for (int i = 0; i < 4; ++i) {
    ship.Move();
    xs.push_back(ship.X);
  }
  EXPECT_EQ(xs, (std::vector<int16_t>{741, 743, 741, 739}));  // 800 is still inside

  TEnemyShip left(0, 2, 100, kMotionSideways);
  left.DX = -2;
  xs.clear();
  for (int i = 0; i < 4; ++i) {
    left.Move();
    xs.push_back(left.X);
  }
  EXPECT_EQ(xs, (std::vector<int16_t>{0, -2, 0, 2}));
  EXPECT_EQ(left.Y, 100);
}

TEST_F(EnemyShipTest, RammingAKindFourShipDestroysItAndCostsItsHitPoints) {
  struct Case {
    int16_t shield;
    int16_t energyAfter, shieldAfter;
  };
  for (const Case& c : {Case{0, 74, 0}, Case{62, 99, 37}}) {
    SCOPED_TRACE(c.shield);
    Game->Energy = 124;
    Game->Shield = c.shield;
    Game->Score = 0;
    for (auto& hit : Game->Hits) hit.reset();
    TEnemyShip ship(4, 400, 460, kMotionDown);  // overlaps the player after its 2 px step
    ship.Move();
    EXPECT_EQ(ship.HitPoints, 50 - 124);
    EXPECT_FALSE(ship.LifeBar.Visible);
    EXPECT_EQ(Game->Energy, c.energyAfter);
    EXPECT_EQ(Game->Shield, c.shieldAfter);

    TEnemyShip rammed(4, 400, 458, kMotionDown);
    rammed.HitPoints = -74;
    Game->Energy = 124;
    Game->Shield = 0;
    EXPECT_FALSE(rammed.Update(back.get()));  // a ship already at -74 rams for nothing
    EXPECT_EQ(Game->Energy, 124);
    EXPECT_EQ(Game->Score, 50);
    ASSERT_NE(Game->Hits[0], nullptr);
    EXPECT_EQ(Game->Hits[0]->Kind, 4);  // hit type 4 + 9: large
    EXPECT_EQ(Game->Hits[0]->X, 400);
    EXPECT_EQ(Game->Hits[0]->Y, 460);
  }
}

TEST_F(EnemyShipTest, ASurvivingShipKeepsDrainingAndShowsItsBar) {
  Game->Energy = 20;
  TEnemyShip ship(4, 400, 460, kMotionSideways);
  ship.HitPoints = 300;  // the ram deals the low 8 bits: 300 & 255 = 44
  ship.Move();
  EXPECT_EQ(ship.HitPoints, 280);
  EXPECT_TRUE(ship.LifeBar.Visible);
  EXPECT_EQ(Game->Energy, 20 - 44);
  ship.Move();
  EXPECT_EQ(ship.HitPoints, 280 + 24);  // the player's energy is negative now
  EXPECT_EQ(Game->Energy, -24 - (280 & 255));
}

TEST_F(EnemyShipTest, AShipWithoutHitPointsLeftRamsForNothing) {
  // The ram costs the low 8 bits of the rammer's hit points; a wreck (0 or less, e.g. after the
  // player's bomb) has none to give, shield or not.
  struct Case {
    int32_t hitPoints;
    int16_t shield;
    int16_t energyAfter, shieldAfter;
  };
  const Case cases[] = {
      {-1, 0, 100, 0},    {-74, 0, 100, 0},   {0, 0, 100, 0},       {-300, 60, 100, 60},
      {-32768, 0, 100, 0}, {1, 0, 99, 0},      {50, 0, 50, 0},       {300, 0, 100 - 44, 0},
      {50, 60, 75, 35},
  };
  TEnemyShip ship(4, 400, 460, kMotionDown);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hitPoints);
    Game->Energy = 100;
    Game->Shield = c.shield;
    int32_t hitPoints = c.hitPoints;
    RamPlayer(ship.GetRect(), hitPoints, ship.LifeBar);
    EXPECT_EQ(Game->Energy, c.energyAfter);
    EXPECT_EQ(Game->Shield, c.shieldAfter);
    EXPECT_EQ(hitPoints, c.hitPoints - 100);
  }
}

TEST_F(EnemyShipTest, TouchingTheShipIsNoRam) {
  TEnemyShip ship(0, 390 - 59 - 2, 520, kMotionSideways);  // right edge reaches x 390 after moving
  ship.Move();
  EXPECT_EQ(ship.GetRect().right, 390);
  EXPECT_EQ(ship.HitPoints, 10);
  EXPECT_EQ(Game->Energy, 124);
}

TEST_F(EnemyShipTest, DestroyedShipScoresExplodesAndDropsABonusOneTimeInSix) {
  int bonuses = 0;
  const int kShips = 600;
  for (int i = 0; i < kShips; ++i) {
    TEnemyShip ship(static_cast<uint8_t>(i % 9), 100, 100, kMotionDown);
    ship.HitPoints = -1;  // as the bomb leaves it
    ASSERT_FALSE(ship.Update(back.get()));
    for (auto& bonus : Game->Bonuses) {
      if (!bonus) continue;
      EXPECT_EQ(bonus->X, 100);
      EXPECT_EQ(bonus->Y, 102);
      ++bonuses;
      bonus.reset();
    }
    for (auto& hit : Game->Hits) hit.reset();
  }
  EXPECT_EQ(Game->Score, kShips / 9 * (10 + 20 + 30 + 30 + 50 + 50 + 50 + 50 + 30) +
                             (10 + 20 + 30 + 30 + 50 + 50));
  EXPECT_GT(bonuses, kShips / 6 - 40);
  EXPECT_LT(bonuses, kShips / 6 + 40);
}

TEST_F(EnemyShipTest, LiveShipDrawsItselfAndItsBarOnlyWhenShown) {
  TEnemyShip ship(2, 100, 100, kMotionDown);
  back->Fill(0);
  EXPECT_TRUE(ship.Update(back.get()));
  EXPECT_EQ(back->GetPixel(130, 150), SpriteColour(12));
  EXPECT_EQ(back->GetPixel(110, 93), 0u);
  ship.LifeBar.Visible = true;
  ship.HitPoints = 15;  // half the bar: 37.5 -> 38 px from x 102
  EXPECT_TRUE(ship.Update(back.get()));
  EXPECT_EQ(back->GetPixel(110, 95), 0x228822u);
  EXPECT_EQ(back->GetPixel(150, 95), 0u);
}

}  // namespace
