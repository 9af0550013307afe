// The player ship: steering, parallax, damage, weapon time, specials and destruction.
#include "game/my_ship.h"

#include <gtest/gtest.h>

#include "game/asteroid.h"
#include "game/base_boss.h"
#include "game/enemy_engine.h"
#include "game/enemy_ship.h"
#include "game/game.h"
#include "game/hit.h"
#include "game/kind_tables.h"
#include "game/run_background.h"
#include "fakes/world_fixture.h"
#include "graphics/images.h"
#include "shell/form.h"

namespace {

class ShipTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    StartPlaying();
    ship = Game->Ship.get();
  }
  // One ship step alone, on the next tick.
  void Step() {
    fake.clock.NextTick();
    ship->Update(back.get());
  }
  TMyShip* ship = nullptr;
};

TEST_F(ShipTest, KeysMoveSixPixelsLeftWinsAndUpDownCancel) {
  const struct {
    std::vector<uint8_t> keys;
    int dx, dy, bank;
  } cases[] = {
      {{kDikLeft}, -6, 0, 1},         {{kDikRight}, 6, 0, 3},
      {{kDikUp}, 0, -6, 2},           {{kDikDown}, 0, 6, 2},
      {{kDikLeft, kDikRight}, -6, 0, 1}, {{kDikUp, kDikDown}, 0, 0, 2},
  };
  for (const auto& c : cases) {
    ship->X = 300;
    ship->Y = 300;
    ship->Bank = 2;
    ReleaseAll();
    for (uint8_t k : c.keys) Hold(k);
    Step();
    EXPECT_EQ(ship->X, 300 + c.dx);
    EXPECT_EQ(ship->Y, 300 + c.dy);
    EXPECT_EQ(ship->Bank, c.bank);
  }
}

TEST_F(ShipTest, AnyMouseMotionMovesLikeAKey) {
  ship->X = 300;
  ship->Y = 300;
  fake.input.mouseDx = -1;
  fake.input.mouseDy = 250;
  Frame();
  EXPECT_EQ(ship->X, 294);
  EXPECT_EQ(ship->Y, 306);
}

TEST_F(ShipTest, NoSteeringOutsidePlaying) {
  Game->Status = gsBetweenStages;
  ship->X = 300;
  Hold(kDikRight);
  Step();
  EXPECT_EQ(ship->X, 300);
  EXPECT_EQ(ship->Bank, 2);
}

TEST_F(ShipTest, ParallaxShiftsTheLayersAndTheEdgeTakesItBack) {
  const int16_t nearStart = Game->NearBackground->OffsetX;
  const int16_t farStart = Game->FarBackground->OffsetX;
  ship->X = 0;
  Hold(kDikLeft);
  for (int i = 0; i < 3; ++i) Step();
  EXPECT_EQ(ship->X, 0);
  EXPECT_EQ(ship->Bank, 0);
  EXPECT_EQ(Game->NearBackground->OffsetX, nearStart);
  EXPECT_EQ(Game->FarBackground->OffsetX, farStart);
  Hold(kDikLeft, false);
  Hold(kDikRight);
  Step();
  // Offsets wrap within the tile width; a right move shifts the layers left.
  EXPECT_EQ(Game->NearBackground->OffsetX, (nearStart - 2 + 300) % 300);
  EXPECT_EQ(Game->FarBackground->OffsetX, (farStart - 1 + 512) % 512);
  ship->X = 734;
  Step();
  EXPECT_EQ(ship->X, 734);
  EXPECT_EQ(Game->NearBackground->OffsetX, (nearStart - 2 + 300) % 300);
}

TEST_F(ShipTest, ClampedToTheField) {
  const struct {
    int16_t x, y;
    uint8_t key;
    int16_t wantX, wantY;
  } cases[] = {{732, 300, kDikRight, 734, 300},
               {2, 300, kDikLeft, 0, 300},
               {300, 42, kDikUp, 300, 40},
               {300, 498, kDikDown, 300, 500}};
  for (auto c : cases) {
    ReleaseAll();
    ship->X = c.x;
    ship->Y = c.y;
    Hold(c.key);
    Step();
    EXPECT_EQ(ship->X, c.wantX);
    EXPECT_EQ(ship->Y, c.wantY);
  }
}

TEST_F(ShipTest, DamageWithAndWithoutShield) {
  const struct {
    int16_t shield;
    uint8_t amount;
    int16_t wantShield, wantEnergy, shieldAfterStep;
  } cases[] = {{0, 25, 0, 99, 0}, {10, 25, -2, 112, 0}, {62, 1, 62, 124, 62}, {0, 1, 0, 123, 0},
               {30, 60, 0, 94, 0}};
  for (auto c : cases) {
    Game->Energy = kFullEnergy;
    Game->Shield = c.shield;
    ship->Damage(c.amount);
    EXPECT_EQ(Game->Shield, c.wantShield);
    EXPECT_EQ(Game->Energy, c.wantEnergy);
    Step();
    EXPECT_EQ(Game->Shield, c.shieldAfterStep);
  }
}

TEST_F(ShipTest, BonusWeaponRunsOutAfterAbout31Seconds) {
  Step();
  EXPECT_EQ(ship->WeaponTime, 99);
  ship->Gun.WeaponKind = ship->Gun.Pattern = 8;
  ship->WeaponTime = 30;
  ship->WeaponTick = fake.clock.now;
  fake.clock.Advance(1000);
  Step();
  EXPECT_EQ(ship->WeaponTime, 29);
  EXPECT_EQ(ship->Gun.WeaponKind, 8);
  for (int s = 0; s < 29; ++s) {
    fake.clock.Advance(1001);
    Step();
  }
  EXPECT_EQ(ship->WeaponTime, 0);
  EXPECT_EQ(ship->Gun.WeaponKind, 8);
  fake.clock.Advance(1001);
  Step();
  EXPECT_EQ(ship->Gun.WeaponKind, 0);
  EXPECT_EQ(ship->Gun.Pattern, 0);
  EXPECT_EQ(ship->WeaponTime, 99);
}

TEST_F(ShipTest, FireKeyAndLeftButtonFireOnlyWhilePlaying) {
  for (uint8_t key : {kDikLeftCtrl, kDikRightCtrl}) {
    ReleaseAll();
    ship->Gun.Shots = {};
    ship->Gun.ShotCount = 0;
    fake.clock.Advance(500);
    Hold(key);
    Step();
    EXPECT_TRUE(ship->Gun.Shots[0]) << int(key);
  }
  ReleaseAll();
  ship->Gun.Shots = {};
  ship->Gun.ShotCount = 0;
  fake.clock.Advance(500);
  fake.input.buttons[0] = 0x80;
  Frame();
  EXPECT_TRUE(ship->Gun.Shots[0]);
  ship->Gun.Shots = {};
  ship->Gun.ShotCount = 0;
  Game->Status = gsBetweenStages;
  fake.clock.Advance(500);
  Step();
  EXPECT_FALSE(ship->Gun.Shots[0]);
}

TEST_F(ShipTest, SpecialWaitsForFullChargeAndAHeldSpecial) {
  ship->Charge = 0;
  Hold(kDikSpace);
  for (int i = 0; i < 80; ++i) Step();
  EXPECT_EQ(ship->Charge, kFullCharge);  // nothing held: stays full
  ship->HasWall = true;
  Step();
  EXPECT_FALSE(ship->HasWall);
  EXPECT_EQ(ship->Charge, 0);
  ship->HasWall = true;
  Step();
  EXPECT_TRUE(ship->HasWall);  // recharging
}

TEST_F(ShipTest, WallFiresARowOfTenAndGoesBeforeTheBomb) {
  ship->Charge = kFullCharge;
  ship->HasWall = ship->HasBomb = true;
  ship->Y = 300;
  Hold(kDikSpace);
  Step();
  EXPECT_FALSE(ship->HasWall);
  EXPECT_TRUE(ship->HasBomb);
  int count = 0;
  for (const auto& shot : ship->Gun.Shots) {
    if (!shot) continue;
    EXPECT_EQ(shot->Kind, 6);
    EXPECT_NEAR(shot->X, count * 80, 1.0);
    EXPECT_NEAR(shot->Y, 295, 1.0);
    ++count;
  }
  EXPECT_EQ(count, 10);
}

TEST_F(ShipTest, BombMarksShipsAndRocksAndHurtsTheBoss) {
  Game->Engine->PlaceEnemy(4, 100, 100, 0);
  Game->Engine->PlaceEnemy(0, 300, 100, 0);
  Game->Asteroids[3] = std::make_unique<TAsteroid>(3);
  Game->Engine->Boss = std::make_unique<TBaseBoss>(0);
  ship->Charge = kFullCharge;
  ship->HasBomb = true;
  Hold(kDikSpace);
  Step();
  EXPECT_FALSE(ship->HasBomb);
  EXPECT_EQ(ship->Charge, 0);
  EXPECT_EQ(Game->Engine->Enemies[0]->HitPoints, -1);
  EXPECT_EQ(Game->Engine->Enemies[1]->HitPoints, -1);
  EXPECT_EQ(Game->Asteroids[3]->HitPoints, -1);
  EXPECT_EQ(Game->Engine->Boss->HitPoints, 900);
  // The ships go at their own next step, with their score.
  const int32_t score = Game->Score;
  Game->Engine->Update(back.get());
  EXPECT_EQ(Game->Engine->EnemyCount, 0);
  EXPECT_EQ(Game->Score, score + 50 + 10);
}

TEST_F(ShipTest, DestructionClearsExplosionsAndAddsFiveStaggeredOnes) {
  for (int i = 0; i < kTableSize; ++i) Game->AddHit(0, 0, 0, 0);
  ship->X = 200;
  ship->Y = 300;
  Game->Energy = 0;
  Step();
  EXPECT_EQ(Game->Status, gsBetweenStages);
  EXPECT_EQ(Game->Lives, 2);
  const int16_t delays[] = {-40, -30, -20, -10, 0};
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(Game->Hits[i]);
    EXPECT_EQ(Game->Hits[i]->Counter, delays[i]);
    EXPECT_EQ(Game->Hits[i]->Kind, 5);
    EXPECT_GE(Game->Hits[i]->X, 200);
    EXPECT_LT(Game->Hits[i]->X, 225);
    EXPECT_GE(Game->Hits[i]->Y, 300);
    EXPECT_LT(Game->Hits[i]->Y, 320);
  }
  EXPECT_FALSE(Game->Hits[5]);
}

TEST_F(ShipTest, DrawsTheFrameOfItsTiltAndFlame) {
  // Each of the ten frames of the strip in a colour of its own, so a wrong index shows.
  auto frameColour = [](int frame) { return 0x300000u + 0x010203u * static_cast<uint32_t>(frame); };
  gfx::TSurface& strip = *gfx::SpriteImages[8];
  ASSERT_EQ(strip.Width(), 10 * ShipSize.Width);
  for (int y = 0; y < strip.Height(); ++y) {
    for (int x = 0; x < strip.Width(); ++x) strip.SetPixel(x, y, frameColour(x / ShipSize.Width));
  }
  // Left three steps (banks 1, 0, 0), right four (1 to 4), then level; the flame flickers.
  const uint8_t steps[] = {kDikLeft, kDikLeft, kDikLeft, kDikRight, kDikRight, kDikRight,
                           kDikRight, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const int8_t banks[] = {1, 0, 0, 1, 2, 3, 4, 2, 2, 2, 2, 2, 2, 2, 2, 2};
  bool seen[10] = {};
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    back->Fill(0);
    ship->X = 300;
    ship->Y = 200;
    ReleaseAll();
    if (steps[i]) Hold(steps[i]);
    Step();
    ASSERT_EQ(ship->Bank, banks[i]);
    const int frame = banks[i] * 2 + ship->FlameFrame;
    seen[frame] = true;
    EXPECT_EQ(back->GetPixel(ship->X, ship->Y), frameColour(frame));
    EXPECT_EQ(back->GetPixel(ship->X + ShipSize.Width - 1, ship->Y + ShipSize.Height - 1),
              frameColour(frame));
    EXPECT_EQ(back->GetPixel(ship->X + ShipSize.Width, ship->Y), 0u);
    // Let the flame's interval pass now and then.
    if (i % 2 == 1) fake.clock.Advance(200);
  }
  EXPECT_TRUE(seen[4] && seen[5]) << "both flame frames of the level ship";
}

}  // namespace
