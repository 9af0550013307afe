// The wave generator: formations, the spawn rules, fallen ships and the clearing of the world.
#include "game/enemy_engine.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

#include "game/asteroid.h"
#include "game/bonus.h"
#include "game/game.h"
#include "game/hit.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "fakes/parked_ship_fixture.h"
#include "fakes/world_fixture.h"
#include "game/world_helpers.h"

namespace {

struct Place {
  int col, row;
  bool atTop;
};

// The six formations, in creation order, in units of (width + 3, height + 3) from the anchor.
const std::vector<std::vector<Place>> kFormations = {
    {{-1, 0, false}, {1, 0, false}, {0, 0, false}},
    {{0, -1, false}, {0, 1, false}, {0, 0, false}},
    {{-1, 0, false}, {1, 0, false}, {0, -1, false}, {0, 1, false}},
    {{-1, -1, false}, {1, -1, false}, {-1, 1, false}, {1, 1, false}, {0, 0, true}},
    {{-1, -1, false}, {1, -1, false}, {0, 0, false}},
    {{0, 0, false}},
};

class EnemyEngineTest : public ParkedShipTest<700, 500> {
 protected:
  TEnemyEngine& Engine() { return *Game->Engine; }

  std::vector<const TEnemyShip*> Ships() {
    std::vector<const TEnemyShip*> ships;
    for (const auto& e : Engine().Enemies) {
      if (e) ships.push_back(e.get());
    }
    return ships;
  }

  // The formation the ships (in slot order) form, or -1; the anchor in ax, ay.
  static int MatchFormation(const std::vector<const TEnemyShip*>& ships, int& ax, int& ay) {
    const TKindSize size = EnemySizes[ships[0]->Kind];
    const int w = size.Width + 3, h = size.Height + 3;
    for (size_t f = 0; f < kFormations.size(); ++f) {
      const auto& places = kFormations[f];
      if (places.size() != ships.size()) continue;
      ax = ships[0]->X - places[0].col * w;
      ay = ships[0]->Y - places[0].row * h;
      bool all = true;
      for (size_t i = 0; i < places.size(); ++i) {
        const int x = ax + places[i].col * w;
        const int y = places[i].atTop ? 0 : ay + places[i].row * h;
        all = all && ships[i]->X == x && ships[i]->Y == y;
      }
      if (all) return static_cast<int>(f);
    }
    return -1;
  }
};

TEST_F(EnemyEngineTest, WavesFormOneOfTheSixFormationsFromTheirMotionsEdge) {
  Game->Stage = 9;  // all nine kinds
  std::array<int, 6> formations{};
  std::set<int> kinds;
  for (int wave = 0; wave < 600; ++wave) {
    Engine().ClearAll();
    Engine().SpawnWave();
    const auto ships = Ships();
    ASSERT_FALSE(ships.empty());
    ASSERT_EQ(Engine().EnemyCount, ships.size());
    const uint8_t kind = ships[0]->Kind, motion = ships[0]->Motion;
    for (const TEnemyShip* s : ships) {
      EXPECT_EQ(s->Kind, kind);
      EXPECT_EQ(s->Motion, motion);
    }
    int ax = 0, ay = 0;
    const int f = MatchFormation(ships, ax, ay);
    ASSERT_GE(f, 0) << "wave " << wave;
    ++formations[f];
    kinds.insert(kind);
    if (kind > 2) {
      EXPECT_EQ(f, 5) << "the big kinds come alone";
    }
    switch (motion) {
      case kMotionDown:
      case kMotionWeave:
        EXPECT_EQ(ay, 0);
        EXPECT_GE(ax, 0);
        EXPECT_LT(ax, 700);
        break;
      case kMotionSideways:
        EXPECT_EQ(ax, 0);
        EXPECT_GE(ay, 0);
        EXPECT_LT(ay, 400);
        break;
      default:
        EXPECT_EQ(ax, 0);
        EXPECT_EQ(ay, 0);
    }
  }
  for (int f = 0; f < 6; ++f) EXPECT_GT(formations[f], 10) << "formation " << f;
  EXPECT_EQ(kinds.size(), 9u);
}

TEST_F(EnemyEngineTest, FormationPositionsForAKnownAnchor) {
  // Formation 3 of kind 0 anchored at (0, 0): corners at -62/+62 and -31/+31, fifth on top.
  Randomize(1);
  Game->Stage = 1;
  for (int wave = 0; wave < 200; ++wave) {
    Engine().ClearAll();
    Engine().SpawnWave();
    const auto ships = Ships();
    if (ships.size() != 5 || ships[0]->Motion != 3) continue;
    const int16_t expected[5][2] = {{-62, -31}, {62, -31}, {-62, 31}, {62, 31}, {0, 0}};
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(ships[i]->X, expected[i][0]);
      EXPECT_EQ(ships[i]->Y, expected[i][1]);
      EXPECT_EQ(ships[i]->Kind, 0);
    }
    return;
  }
  FAIL() << "no diagonal formation 3 in 200 waves";
}

TEST_F(EnemyEngineTest, StageOneWaitsForAnEmptyScreen) {
  Game->Stage = 1;
  Engine().PlaceEnemy(0, 100, 100, kMotionSideways);  // never falls, never leaves
  for (int frame = 0; frame < 64 * 60; ++frame) {
    fake.clock.NextTick();
    Engine().Update(back.get());
    ASSERT_EQ(Engine().EnemyCount, 1);
  }
  Engine().ClearAll();
  int frames = 0;
  while (Engine().EnemyCount == 0 && frames++ < 64 * 60) {
    fake.clock.NextTick();
    Engine().Update(back.get());
  }
  EXPECT_GT(Engine().EnemyCount, 0);
}

TEST_F(EnemyEngineTest, LaterStagesLaunchWhileFewerThanFiveAreAlive) {
  Game->Stage = 2;
  for (int i = 0; i < 5; ++i) Engine().PlaceEnemy(0, static_cast<int16_t>(i * 100), 100, kMotionSideways);
  for (int frame = 0; frame < 64 * 30; ++frame) {
    fake.clock.NextTick();
    Engine().Update(back.get());
    ASSERT_EQ(Engine().EnemyCount, 5);
  }
  Engine().Enemies[2].reset();
  Engine().EnemyCount--;
  int frames = 0;
  while (Engine().EnemyCount == 4 && frames++ < 64 * 60) {
    fake.clock.NextTick();
    Engine().Update(back.get());
  }
  EXPECT_GT(Engine().EnemyCount, 4);
  EXPECT_LE(Engine().EnemyCount, 9);
  EXPECT_EQ(Ships().size(), Engine().EnemyCount);
}

TEST_F(EnemyEngineTest, SpawnTestRunsWhenMoreThan200msHavePassed) {
  fake.clock.SetTick(5000);
  Engine().Update(back.get());  // SpawnTick starts at 0: the first test passes at once
  EXPECT_EQ(Engine().SpawnTick, 5000u);
  fake.clock.SetTick(5200);
  Engine().Update(back.get());
  EXPECT_EQ(Engine().SpawnTick, 5000u);
  EXPECT_EQ(Engine().FrameTick, 5200u);
  fake.clock.SetTick(5201);
  Engine().Update(back.get());
  EXPECT_EQ(Engine().SpawnTick, 5201u);
}

TEST_F(EnemyEngineTest, AsteroidsFillTheLowestFreeSlotUpToTwenty) {
  for (int i = 0; i < 25; ++i) Engine().SpawnAsteroid();
  for (int i = 0; i < 20; ++i) {
    ASSERT_NE(Game->Asteroids[i], nullptr);
    EXPECT_EQ(Game->Asteroids[i]->Slot, i);
  }
  Game->Asteroids[7].reset();
  Engine().SpawnAsteroid();
  ASSERT_NE(Game->Asteroids[7], nullptr);
  EXPECT_EQ(Game->Asteroids[7]->Slot, 7);
}

TEST_F(EnemyEngineTest, ShipsBelow601AreRemovedWithoutScore) {
  const uint8_t stays = Engine().PlaceEnemy(0, 100, 601, kMotionDown);
  const uint8_t goes = Engine().PlaceEnemy(0, 300, 602, kMotionDown);
  Engine().RemoveFallen();
  EXPECT_NE(Engine().Enemies[stays], nullptr);
  EXPECT_EQ(Engine().Enemies[goes], nullptr);
  EXPECT_EQ(Engine().EnemyCount, 1);
  EXPECT_EQ(Game->Score, 0);
  for (const auto& hit : Game->Hits) EXPECT_EQ(hit, nullptr);
}

TEST_F(EnemyEngineTest, FreeSlotHonoursMaxEnemyIndex) {
  MaxEnemyIndex = 2;
  EXPECT_EQ(Engine().PlaceEnemy(0, 0, 0, 0), 0);
  EXPECT_EQ(Engine().PlaceEnemy(0, 0, 0, 0), 1);
  EXPECT_EQ(Engine().PlaceEnemy(0, 0, 0, 0), 2);
  EXPECT_EQ(Engine().FreeSlot(), kNoSlot);
  EXPECT_EQ(Engine().PlaceEnemy(0, 0, 0, 0), kNoSlot);
  EXPECT_EQ(Engine().EnemyCount, 3);
  MaxEnemyIndex = 19;
  EXPECT_EQ(Engine().FreeSlot(), 3);
}

TEST_F(EnemyEngineTest, ClearAllEmptiesTheWorldButNotTheExplosions) {
  Engine().PlaceEnemy(0, 100, 100, kMotionDown);
  Engine().PlaceEnemy(1, 200, 100, kMotionDown);
  Engine().SpawnAsteroid();
  Game->Bonuses[19] = std::make_unique<TBonus>(19, 100, 100);
  Engine().Boss = std::make_unique<TBaseBoss>(1);
  Game->AddHit(10, 10, 0, 0);
  Engine().ClearAll();
  for (const auto& e : Engine().Enemies) EXPECT_EQ(e, nullptr);
  for (const auto& a : Game->Asteroids) EXPECT_EQ(a, nullptr);
  for (const auto& b : Game->Bonuses) EXPECT_EQ(b, nullptr);
  EXPECT_EQ(Engine().Boss, nullptr);
  EXPECT_EQ(Engine().EnemyCount, 0);
  EXPECT_NE(Game->Hits[0], nullptr);
}

TEST_F(EnemyEngineTest, DestroyedShipsLeaveTheirSlotAndTheCount) {
  Engine().PlaceEnemy(0, 100, 100, kMotionDown);
  const uint8_t doomed = Engine().PlaceEnemy(3, 300, 100, kMotionDown);
  Engine().Enemies[doomed]->Gun.AddShot(3, 4, 300, 200, 0.0);
  Engine().Enemies[doomed]->HitPoints = -1;
  fake.clock.NextTick();
  Engine().Update(back.get());
  EXPECT_EQ(Engine().Enemies[doomed], nullptr);  // its shots went with its gun
  EXPECT_EQ(Engine().EnemyCount, 1);
  EXPECT_EQ(Game->Score, 30);
}

}  // namespace
