// The gun: the fifteen patterns, the firing intervals, random fire, the shot tests and the
// shots' flight.
#include "game/gunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "game/asteroid.h"
#include "game/base_boss.h"
#include "game/enemy_engine.h"
#include "game/game.h"
#include "game/hit.h"
#include "game/my_ship.h"
#include "fakes/parked_ship_fixture.h"
#include "fakes/world_fixture.h"
#include "graphics/images.h"

namespace {

struct ExpectedShot {
  uint8_t kind;
  int32_t x, y;
  double turn;
};

struct PatternCase {
  uint8_t pattern;
  int16_t fireX, fireY;
  std::vector<ExpectedShot> shots;
};

// The muzzle point is the pattern's shot size halved plus the owner's corner (300, 200); the
// big boss guns fire from fixed points of the owner's sprite.
const std::vector<PatternCase> kPatterns = {
    {0, 313, 214, {{0, 318, 214, 0.0}}},
    {1, 307, 214, {{1, 327, 214, 0.0}, {1, 327, 214, 0.3}, {1, 327, 214, 6.0}}},
    {2, 313, 213, {{2, 313, 213, 0.0}}},
    {3, 330, 230, {{3, 300, 150, 0.0}}},
    {4, 312, 212, {{4, 312, 212, 0.0}, {4, 312, 212, 0.5}, {4, 312, 212, -0.5}}},
    {5, 307, 269, {{5, 343, 269, 0.0}, {5, 307, 269, 0.0}}},
    {6, 317, 217, {{6, 322, 217, 0.0}}},
    {7, 313, 213, {{7, 318, 213, 0.0}}},
    {8, 310, 222, {{8, 315, 222, 0.0}}},
    {9, 316, 216, {{9, 366, 216, 0.0}}},
    {10, 337, 410, {{10, 337, 410, 0.0}}},
    {11, 317, 217, {{11, 417, 425, 0.0}}},
    {12, 417, 312, {{12, 300, 200, 0.0}}},
    {13, 325, 235, {{13, 414, 480, 0.0}}},
    {14, 307, 217, {{13, 414, 480, 0.0}}},
};

constexpr uint32_t kIntervals[15] = {400, 500, 700, 300, 500, 300, 300, 200,
                                     150, 300, 300, 300, 300, 300, 300};

class GunnerTest : public ParkedShipTest<700, 500> {
 protected:
  int HitCount() const {
    int n = 0;
    for (const auto& hit : Game->Hits) n += hit != nullptr;
    return n;
  }

  int16_t ownerX = 300;
  int16_t ownerY = 200;
};

TEST_F(GunnerTest, EveryPatternFiresItsShotsFromItsMuzzlePoint) {
  for (const PatternCase& c : kPatterns) {
    SCOPED_TRACE(static_cast<int>(c.pattern));
    TGunner enemyGun(c.pattern, c.pattern, ownerX, ownerY, false);
    TGunner playerGun(c.pattern, c.pattern, ownerX, ownerY, true);
    fake.clock.Advance(1000);
    for (TGunner* gun : {&enemyGun, &playerGun}) {
      ASSERT_TRUE(gun->Fire());
      EXPECT_EQ(gun->FireX, c.fireX);
      EXPECT_EQ(gun->FireY, c.fireY);
      EXPECT_EQ(gun->ShotCount, c.shots.size());
      const double base = gun->IsPlayer ? 3.15 : 0.0;
      for (size_t i = 0; i < kShotSlots; ++i) {
        const TPulya* shot = gun->Shots[i].get();
        if (i >= c.shots.size()) {
          EXPECT_EQ(shot, nullptr);
          continue;
        }
        ASSERT_NE(shot, nullptr);
        EXPECT_EQ(shot->Kind, c.shots[i].kind);
        EXPECT_EQ(shot->X, c.shots[i].x);
        EXPECT_EQ(shot->Y, c.shots[i].y);
        EXPECT_DOUBLE_EQ(shot->Angle, base + c.shots[i].turn);
        EXPECT_EQ(shot->Frame, 0);
      }
    }
  }
}

TEST_F(GunnerTest, FiresOnlyWhenMoreThanTheIntervalHasPassed) {
  for (uint8_t kind = 0; kind < 15; ++kind) {
    SCOPED_TRACE(static_cast<int>(kind));
    TGunner gun(kind, kind, ownerX, ownerY, true);
    const uint32_t created = fake.clock.now;
    EXPECT_EQ(gun.LastFire, created);
    fake.clock.Advance(kIntervals[kind]);
    EXPECT_FALSE(gun.Fire());
    EXPECT_EQ(gun.ShotCount, 0);
    EXPECT_EQ(gun.LastFire, created);
    fake.clock.Advance(1);
    EXPECT_TRUE(gun.Fire());
    EXPECT_EQ(gun.LastFire, fake.clock.now);
    EXPECT_FALSE(gun.Fire());
  }
}

TEST_F(GunnerTest, IntervalSurvivesTheTickCountWrapping) {
  fake.clock.SetTick(0xFFFFFF00u);
  TGunner gun(8, 8, ownerX, ownerY, true);
  fake.clock.SetTick(0xFFFFFF00u + 151);  // wraps past zero
  EXPECT_TRUE(gun.Fire());
}

TEST_F(GunnerTest, AFullShotTableTakesNoMoreShots) {
  TGunner gun(0, 0, ownerX, ownerY, false);
  for (int i = 0; i < kShotSlots + 3; ++i) gun.AddShot(0, 2, 100 + i, 100, 0.0);
  EXPECT_EQ(gun.ShotCount, kShotSlots);
  EXPECT_EQ(gun.Shots[kShotSlots - 1]->X, 100 + kShotSlots - 1);
  gun.Shots[4].reset();
  gun.ShotCount--;
  gun.AddShot(1, 2, 7, 8, 0.0);
  EXPECT_EQ(gun.Shots[4]->Kind, 1);  // the lowest free slot
}

TEST_F(GunnerTest, ShotsAtTheFieldsEdgesStayAndBeyondThemGo) {
  struct Case {
    float x, y;
    bool stays;
  };
  const Case cases[] = {
      {802.0f, 300.0f, true}, {802.01f, 300.0f, false}, {400.0f, 598.0f, true},
      {400.0f, 598.01f, false}, {0.0f, 0.0f, true}, {-0.01f, 300.0f, false},
      {400.0f, -0.01f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    TGunner gun(0, 0, ownerX, ownerY, false);
    gun.AddShot(0, 2, 0, 0, 0.0);
    gun.Shots[0]->X = c.x;
    gun.Shots[0]->Y = c.y;
    gun.CheckShot(0);
    EXPECT_EQ(gun.Shots[0] != nullptr, c.stays);
    EXPECT_EQ(gun.ShotCount, c.stays ? 1 : 0);
  }
}

TEST_F(GunnerTest, PlayerShotHitsTheEnemyShipBeforeTheAsteroidAndTheBoss) {
  TEnemyEngine& engine = *Game->Engine;
  engine.PlaceEnemy(0, 500, 100, kMotionDown);  // elsewhere, in slot 0
  const uint8_t shipSlot = engine.PlaceEnemy(4, 90, 290, kMotionDown);
  Game->Asteroids[0] = std::make_unique<TAsteroid>(0);
  Game->Asteroids[0]->X = 95;
  Game->Asteroids[0]->Y = 295;
  engine.Boss = std::make_unique<TBaseBoss>(0);
  engine.Boss->X = 50;
  engine.Boss->Y = 250;

  TGunner gun(8, 8, ownerX, ownerY, true);
  gun.AddShot(8, 2, 100, 300, 3.15);
  gun.CheckShot(0);
  EXPECT_EQ(gun.Shots[0], nullptr);
  EXPECT_EQ(gun.ShotCount, 0);
  EXPECT_EQ(engine.Enemies[shipSlot]->HitPoints, 50 - 90);
  EXPECT_TRUE(engine.Enemies[shipSlot]->LifeBar.Visible);
  EXPECT_EQ(Game->Asteroids[0]->HitPoints, 5);
  EXPECT_EQ(engine.Boss->HitPoints, 1000);
  EXPECT_FALSE(engine.Boss->LifeBar.Visible);
  EXPECT_EQ(Game->Score, 0);
  ASSERT_EQ(HitCount(), 1);
  EXPECT_EQ(Game->Hits[0]->X, 100);
  EXPECT_EQ(Game->Hits[0]->Y, 300);
  EXPECT_EQ(Game->Hits[0]->Kind, 0);

  // Without the ship the asteroid takes the next shot and scores 10; then the boss.
  engine.Enemies[shipSlot].reset();
  engine.EnemyCount--;
  gun.AddShot(8, 2, 100, 300, 3.15);
  gun.CheckShot(0);
  EXPECT_EQ(Game->Asteroids[0]->HitPoints, 5 - 90);
  EXPECT_EQ(Game->Score, 10);
  Game->Asteroids[0].reset();
  gun.AddShot(8, 2, 100, 300, 3.15);
  gun.CheckShot(0);
  EXPECT_EQ(engine.Boss->HitPoints, 1000 - 90);
  EXPECT_TRUE(engine.Boss->LifeBar.Visible);
  EXPECT_EQ(Game->Score, 10);
}

TEST_F(GunnerTest, ShotsHitWithTheMuzzleSizeOfTheGunsCurrentPattern) {
  TEnemyEngine& engine = *Game->Engine;
  engine.PlaceEnemy(0, 200, 300, kMotionDown);  // 59 x 28 from x 200
  TGunner gun(0, 0, ownerX, ownerY, true);
  gun.AddShot(0, 2, 150, 300, 3.15);  // a 26-wide box ends at 176: a miss
  gun.CheckShot(0);
  EXPECT_NE(gun.Shots[0], nullptr);
  gun.Pattern = 3;  // now a 60-wide box: reaches x 210
  gun.CheckShot(0);
  EXPECT_EQ(gun.Shots[0], nullptr);
  EXPECT_EQ(engine.Enemies[0]->HitPoints, 0);  // damage of the shot's own kind 0
}

TEST_F(GunnerTest, EnemyShotsHitOnlyThePlayerShip) {
  TEnemyEngine& engine = *Game->Engine;
  engine.PlaceEnemy(0, 300, 300, kMotionDown);
  Game->Asteroids[0] = std::make_unique<TAsteroid>(0);
  Game->Asteroids[0]->X = 300;
  Game->Asteroids[0]->Y = 300;
  TGunner gun(4, 4, ownerX, ownerY, false);
  gun.AddShot(4, 4, 305, 305, 0.0);
  gun.CheckShot(0);
  EXPECT_NE(gun.Shots[0], nullptr);
  EXPECT_EQ(engine.Enemies[0]->HitPoints, 10);
  EXPECT_EQ(Game->Asteroids[0]->HitPoints, 5);

  gun.Shots[0]->X = 700 + 65;  // touching the ship's right edge (exclusive): no hit
  gun.Shots[0]->Y = 520;
  gun.CheckShot(0);
  EXPECT_NE(gun.Shots[0], nullptr);
  EXPECT_EQ(Game->Energy, 124);
  gun.Shots[0]->X = 700 + 64;
  gun.CheckShot(0);
  EXPECT_EQ(gun.Shots[0], nullptr);
  EXPECT_EQ(Game->Energy, 124 - 50);
  EXPECT_EQ(HitCount(), 1);
}

TEST_F(GunnerTest, ShotsFlyAndAnimate) {
  TPulya down(0, 100.0f, 100.0f, 0.0);
  TPulya up(5, 100.0f, 400.0f, 3.15);
  fake.clock.Advance(200);
  down.Update(back.get(), false);
  up.Update(back.get(), true);
  EXPECT_EQ(down.Frame, 0);  // exactly 200 ms is not enough
  EXPECT_NEAR(down.X, 100.0f, 1e-4);
  EXPECT_FLOAT_EQ(down.Y, 110.0f);
  EXPECT_NEAR(up.X, 100.0f + 10 * std::cos(3.15 + std::numbers::pi / 2), 1e-4);
  EXPECT_NEAR(up.Y, 400.0f + 10 * std::sin(3.15 + std::numbers::pi / 2), 1e-4);

  fake.clock.Advance(1);
  down.Update(back.get(), false);
  EXPECT_EQ(down.Frame, 1);
  fake.clock.Advance(201);
  down.Update(back.get(), false);
  EXPECT_EQ(down.Frame, 0);  // two frames: wraps
  for (int i = 0; i < 3; ++i) {
    fake.clock.Advance(201);
    up.Update(back.get(), true);
  }
  EXPECT_EQ(up.Frame, 3);

  TPulya still(2, 100.0f, 100.0f, 0.0);  // one frame: never advances
  fake.clock.Advance(500);
  still.Update(back.get(), false);
  EXPECT_EQ(still.Frame, 0);
}

TEST_F(GunnerTest, PlayerShotsUseTheUpsideDownPicture) {
  TPulya shot(1, 100.0f, 100.0f, 3.15);
  back->Fill(0);
  shot.Update(back.get(), true);
  EXPECT_EQ(back->GetPixel(105, 110), SpriteColour(23));  // FlippedShotImages[1] in the fixture
  gfx::FlippedShotImages[1]->Fill(0x123456);
  shot.Update(back.get(), true);
  EXPECT_EQ(back->GetPixel(105, 100), 0x123456);
  shot.Update(back.get(), false);
  EXPECT_EQ(back->GetPixel(105, 90), SpriteColour(23));
}

TEST_F(GunnerTest, EnemyGunFiresAtRandomAtMostOnceASecondWithFewerThanFiveShots) {
  int16_t x = 300, y = 50;
  TGunner gun(0, 0, x, y, false);
  std::vector<uint32_t> firings;
  for (int frame = 0; frame < 64 * 60; ++frame) {
    fake.clock.NextTick();
    const uint32_t before = gun.LastFire;
    gun.Update(back.get());
    if (gun.LastFire != before) firings.push_back(gun.LastFire);
  }
  ASSERT_GT(firings.size(), 10u);
  EXPECT_LT(firings.size(), 60u);
  for (size_t i = 1; i < firings.size(); ++i) EXPECT_GT(firings[i] - firings[i - 1], 1000u);

  TGunner playerGun(0, 0, x, y, true);
  for (int frame = 0; frame < 64 * 30; ++frame) {
    fake.clock.NextTick();
    playerGun.Update(back.get());
  }
  EXPECT_EQ(playerGun.ShotCount, 0);
}

TEST_F(GunnerTest, EnemyGunWithFiveShotsInFlightHoldsFire) {
  int16_t x = 300, y = 50;
  TGunner gun(2, 2, x, y, false);
  for (int i = 0; i < 5; ++i) gun.AddShot(2, 4, 100 + 30 * i, 100, 0.0);
  for (int frame = 0; frame < 64 * 20; ++frame) {
    fake.clock.NextTick();
    for (int i = 0; i < 5; ++i) gun.Shots[i]->Y = 100;  // keep them in the field
    gun.Update(back.get());
    ASSERT_EQ(gun.ShotCount, 5);
  }
  gun.Shots[2].reset();
  gun.ShotCount--;
  int frames = 0;
  while (gun.ShotCount < 5 && frames < 64 * 20) {
    fake.clock.NextTick();
    for (int i : {0, 1, 3, 4}) gun.Shots[i]->Y = 100;
    gun.Update(back.get());
    ++frames;
  }
  EXPECT_EQ(gun.ShotCount, 5);
  EXPECT_EQ(gun.Shots[2]->Kind, 2);
}

}  // namespace
