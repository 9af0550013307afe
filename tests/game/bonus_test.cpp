// Bonus pickups: the nine effects, falling, animation and leaving the screen.
#include "game/bonus.h"

#include <gtest/gtest.h>

#include "game/game.h"
#include "game/my_ship.h"
#include "fakes/world_fixture.h"

namespace {

class BonusTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    StartPlaying();
    Game->Ship->X = 400;
    Game->Ship->Y = 400;
  }
  // A bonus of `kind` in slot 0 at (x, y), stepped once.
  bool Drop(uint8_t kind, int16_t x, int16_t y) {
    Game->Bonuses[0] = std::make_unique<TBonus>(0, x, y);
    Game->Bonuses[0]->Kind = kind;
    return Game->Bonuses[0]->Update(back.get());
  }
};

TEST_F(BonusTest, EachKindHasItsEffectWhenCollected) {
  const struct {
    uint8_t kind;
    int16_t shield, lives, energy;
    uint8_t weapon;
    int8_t weaponTime;
    bool wall, bomb;
  } cases[] = {
      {0, 62, 3, 50, 0, 99, false, false}, {1, 10, 4, 50, 0, 99, false, false},
      {2, 10, 3, 124, 0, 99, false, false}, {3, 10, 3, 50, 1, 30, false, false},
      {4, 10, 3, 50, 8, 30, false, false}, {5, 10, 3, 50, 3, 30, false, false},
      {6, 10, 3, 50, 5, 30, false, false}, {7, 10, 3, 50, 0, 99, true, false},
      {8, 10, 3, 50, 0, 99, false, true},
  };
  for (auto c : cases) {
    Game->Shield = 10;
    Game->Lives = 3;
    Game->Energy = 50;
    Game->Ship->Gun.WeaponKind = Game->Ship->Gun.Pattern = 0;
    Game->Ship->WeaponTime = 99;
    Game->Ship->HasWall = Game->Ship->HasBomb = false;
    back->Fill(0);
    EXPECT_FALSE(Drop(c.kind, 420, 380)) << "kind " << int(c.kind);
    EXPECT_EQ(Game->Shield, c.shield);
    EXPECT_EQ(Game->Lives, c.lives);
    EXPECT_EQ(Game->Energy, c.energy);
    EXPECT_EQ(Game->Ship->Gun.WeaponKind, c.weapon);
    EXPECT_EQ(Game->Ship->Gun.Pattern, c.weapon);
    EXPECT_EQ(Game->Ship->WeaponTime, c.weaponTime);
    EXPECT_EQ(Game->Ship->HasWall, c.wall);
    EXPECT_EQ(Game->Ship->HasBomb, c.bomb);
    EXPECT_NE(back->GetPixel(425, 390), SpriteColour(45 + c.kind));  // collected: not drawn
  }
}

TEST_F(BonusTest, ANewWeaponRestartsTheTime) {
  Game->Ship->Gun.WeaponKind = Game->Ship->Gun.Pattern = 1;
  Game->Ship->WeaponTime = 4;
  Drop(3, 420, 380);
  EXPECT_EQ(Game->Ship->WeaponTime, 30);
  EXPECT_EQ(Game->Ship->Gun.WeaponKind, 1);
}

TEST_F(BonusTest, CollectedOnlyWhenOverlappingTheShip) {
  // The ship box is (400, 400)-(465, 500); the repair bonus is 56 x 56 and falls 3 px first.
  EXPECT_TRUE(Drop(2, 420, 341));  // bottom edge at 400: touching
  EXPECT_FALSE(Drop(2, 420, 342));
  EXPECT_TRUE(Drop(2, 465, 420));
  EXPECT_FALSE(Drop(2, 464, 420));
}

TEST_F(BonusTest, FallsThreePixelsAndLeavesAfterPassing600) {
  EXPECT_TRUE(Drop(0, 10, 100));
  EXPECT_EQ(Game->Bonuses[0]->Y, 103);
  back->Fill(0);
  EXPECT_FALSE(Drop(0, 10, 598));  // drawn at 601 (clipped away) and removed in the same step
  back->Fill(0);
  EXPECT_TRUE(Drop(0, 10, 597));  // at 600 it stays
}

TEST_F(BonusTest, AnimatesOneFrameEveryMoreThan200Ms) {
  Game->Bonuses[0] = std::make_unique<TBonus>(0, 10, 10);
  TBonus& bonus = *Game->Bonuses[0];
  bonus.Update(back.get());  // AnimTick starts at 0: the first step advances
  EXPECT_EQ(bonus.Frame, 1);
  bonus.AnimTick = fake.clock.now;
  fake.clock.Advance(200);
  bonus.Update(back.get());
  EXPECT_EQ(bonus.Frame, 1);
  fake.clock.Advance(1);
  bonus.Update(back.get());
  EXPECT_EQ(bonus.Frame, 2);
  bonus.Frame = 7;
  fake.clock.Advance(201);
  bonus.Update(back.get());
  EXPECT_EQ(bonus.Frame, 0);  // wrapped after 7
}

TEST_F(BonusTest, KindsAreDrawnUniformly) {
  int counts[9] = {};
  for (int i = 0; i < 9000; ++i) ++counts[TBonus(0, 0, 0).Kind];
  for (int c : counts) {
    EXPECT_GT(c, 850);
    EXPECT_LT(c, 1150);
  }
}

}  // namespace
