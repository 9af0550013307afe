// The boss: creation, hovering, following the player, the alternate weapon, the ram, and its
// destruction ending the stage.
#include "game/base_boss.h"

#include <gtest/gtest.h>

#include "game/enemy_engine.h"
#include "game/game.h"
#include "game/hit.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"
#include "fakes/parked_ship_fixture.h"
#include "fakes/world_fixture.h"

namespace {

class BossTest : public ParkedShipTest<390, 500> {};

TEST_F(BossTest, CreationByKind) {
  struct Case {
    uint8_t kind, gunKind;
    int16_t y;
    int32_t hitPoints;
  };
  for (const Case& c : {Case{0, 9, -180, 1000}, Case{1, 11, -225, 2000}, Case{2, 13, -280, 3000}}) {
    TBaseBoss boss(c.kind);
    EXPECT_EQ(boss.X, 340);
    EXPECT_EQ(boss.Y, c.y);
    EXPECT_EQ(boss.GunKind, c.gunKind);
    EXPECT_EQ(boss.Gun.WeaponKind, c.gunKind);
    EXPECT_EQ(boss.Gun.Pattern, c.gunKind);
    EXPECT_FALSE(boss.Gun.IsPlayer);
    EXPECT_EQ(boss.HitPoints, c.hitPoints);
    EXPECT_EQ(boss.Speed, 0);
    EXPECT_EQ(boss.Climbing, 0);
    EXPECT_EQ(&boss.TargetX, &Game->Ship->X);
    EXPECT_EQ(&boss.TargetY, &Game->Ship->Y);
    EXPECT_FALSE(boss.LifeBar.Visible);
  }
}

TEST_F(BossTest, HoversBetweenTheTopAndY350AndFollowsThePlayer) {
  TBaseBoss boss(0);
  int speedChanges = 0;
  int alternates = 0;
  const int kFrames = 20000;
  for (int frame = 0; frame < kFrames; ++frame) {
    const int16_t y = boss.Y, x = boss.X;
    const uint8_t speed = boss.Speed;
    if (frame == 5000) Game->Ship->X = 0;  // the boss slides after the player
    boss.Move();
    speedChanges += boss.Speed != speed;
    ASSERT_LE(boss.Speed, 3);
    const int dy = boss.Climbing ? -boss.Speed : boss.Speed;
    ASSERT_EQ(boss.Y, y + dy);
    ASSERT_GE(boss.Y, -180);
    ASSERT_LE(boss.Y, 353);
    const int target = Game->Ship->X + 32 - 75;
    ASSERT_EQ(boss.X, x + (target > x) - (target < x));
    ASSERT_EQ(boss.Gun.Pattern, boss.Gun.WeaponKind);
    ASSERT_TRUE(boss.Gun.WeaponKind == 9 || boss.Gun.WeaponKind == 10);
    alternates += boss.Gun.WeaponKind == 10;
  }
  EXPECT_EQ(boss.X, 0 + 32 - 75);
  EXPECT_GT(speedChanges, 20);  // a new speed on about one frame in 200 (one in four the same)
  EXPECT_GT(alternates, kFrames / 5 - 500);
  EXPECT_LT(alternates, kFrames / 5 + 500);
}

TEST_F(BossTest, AtSpeedZeroItWaitsAboveTheScreen) {
  TBaseBoss boss(2);
  for (int frame = 0; frame < 100 && boss.Speed == 0; ++frame) {
    boss.Move();
    if (boss.Speed == 0) {
      ASSERT_EQ(boss.Y, -280);
    }
  }
}

TEST_F(BossTest, RammingTheBossCostsTheLow8BitsOfItsHitPoints) {
  TBaseBoss boss(0);
  boss.Y = 400;  // overlaps the player ship
  boss.Climbing = 1;
  boss.Speed = 0;
  boss.Move();  // whatever speed it draws, it still overlaps
  EXPECT_EQ(boss.HitPoints, 1000 - 124);
  EXPECT_TRUE(boss.LifeBar.Visible);
  EXPECT_EQ(Game->Energy, 124 - (1000 & 255));
}

TEST_F(BossTest, DestroyedBossExplodesScoresAndEndsTheStage) {
  Game->Stage = 3;
  Game->StagePart = 3;
  Game->Status = gsPlaying;
  TEnemyEngine& engine = *Game->Engine;
  engine.Boss = std::make_unique<TBaseBoss>(1);
  engine.Boss->X = 200;
  engine.Boss->Y = 50;
  engine.Boss->HitPoints = 0;
  Game->AddHit(5, 5, 0, 0);  // slot 0 taken: the ten explosions take 1..10
  fake.clock.NextTick();
  engine.Update(back.get());
  EXPECT_EQ(engine.Boss, nullptr);
  EXPECT_EQ(Game->Score, 2000);
  EXPECT_EQ(Game->Stage, 4);
  EXPECT_EQ(Game->StagePart, 1);
  EXPECT_EQ(Game->Status, gsBetweenStages);
  const int16_t delays[10] = {0, -10, -20, -30, -50, -50, -40, -30, -20, 0};
  for (int i = 0; i < 10; ++i) {
    const THit* hit = Game->Hits[i + 1].get();
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->Kind, 3 + (1 + 9) % 3);
    EXPECT_EQ(hit->Counter, delays[i]);
    // Inside the boss less a 10 px margin; it stepped to x 201 and down by its speed 0..3.
    EXPECT_GE(hit->X, 201 + 10);
    EXPECT_LT(hit->X, 201 + 235 - 10);
    EXPECT_GE(hit->Y, 50 + 10);
    EXPECT_LT(hit->Y, 53 + 225 - 10);
  }
  EXPECT_EQ(Game->Hits[11], nullptr);
}

TEST_F(BossTest, BossGunTwoFiresTheBigShellWithTheNarrowMuzzleOfItsAlternate) {
  TBaseBoss boss(2);
  boss.X = 100;
  boss.Y = 100;
  boss.Gun.WeaponKind = boss.Gun.Pattern = 14;
  fake.clock.Advance(1000);
  ASSERT_TRUE(boss.Gun.Fire());
  EXPECT_EQ(boss.Gun.FireX, 100 + 15 / 2);
  EXPECT_EQ(boss.Gun.FireY, 100 + 35 / 2);
  ASSERT_NE(boss.Gun.Shots[0], nullptr);
  EXPECT_EQ(boss.Gun.Shots[0]->Kind, 13);
  EXPECT_EQ(boss.Gun.Shots[0]->X, 214);
  EXPECT_EQ(boss.Gun.Shots[0]->Y, 380);
}

TEST_F(BossTest, EveryBossStageBringsABossAndItsDeathEndsTheStage) {
  struct Case {
    uint8_t stage, kind;
  };
  for (const Case& c : {Case{3, 0}, Case{6, 1}, Case{9, 2}, Case{12, 0}, Case{15, 0},
                        Case{18, 1}, Case{21, 0}, Case{30, 2}}) {
    SCOPED_TRACE(static_cast<int>(c.stage));
    Game = std::make_unique<TGame>();
    Game->Stage = c.stage;
    Game->StagePart = 3;
    StartPlaying();
    TEnemyEngine& engine = *Game->Engine;
    ASSERT_NE(engine.Boss, nullptr);
    EXPECT_EQ(engine.Boss->Kind, c.kind);
    Frame(20);
    ASSERT_NE(engine.Boss, nullptr);
    engine.Boss->HitPoints = 0;
    Frame();
    EXPECT_EQ(engine.Boss, nullptr);
    EXPECT_EQ(Game->Stage, c.stage + 1);
    EXPECT_EQ(Game->StagePart, 1);
    EXPECT_EQ(Game->Status, gsBetweenStages);
    StartPlaying();
    EXPECT_EQ(Game->Engine->Boss, nullptr);  // no boss in the first stage of a level
  }
}

}  // namespace
