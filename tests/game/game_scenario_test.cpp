// Whole games played by the autopilot through the main window on the fake platform, with the
// world's invariants checked after every frame: from the first stage through the first boss
// stage to "Game Over" and the screen that follows it.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/autopilot.h"
#include "fakes/enemy_invariants.h"
#include "fakes/program_harness.h"
#include "game/asteroid.h"
#include "game/base_boss.h"
#include "game/bonus.h"
#include "game/enemy_engine.h"
#include "game/enemy_ship.h"
#include "game/game.h"
#include "game/gunner.h"
#include "game/hit.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/game_session.h"
#include "shell/screen_state.h"

namespace {

int Occupied(const auto& table) {
  return static_cast<int>(std::count_if(table.begin(), table.end(), [](const auto& p) { return p != nullptr; }));
}

void CheckGun(const TGunner& gun) { ASSERT_EQ(gun.ShotCount, Occupied(gun.Shots)); }

// What a game looked like after the previous frame, and what happened so far.
struct Watch {
  uint8_t stage = 1;
  uint8_t status = gsBetweenStages;
  int32_t score = 0;
  int32_t distance = 0;
  bool bossAlive = false;
  int bossesMet = 0;
  int bossesKilled = 0;
  int livesLost = 0;
  int stagesByDistance = 0;
};

void CheckFrame(const TGame& g, Watch& w) {
  // Counters.
  ASSERT_GE(g.Stage, w.stage);
  ASSERT_LE(g.Stage, w.stage + 1);
  ASSERT_EQ(g.StagePart, g.Stage % 3 == 0 ? 3 : g.Stage % 3);
  ASSERT_GE(g.Score, w.score);
  ASSERT_GE(g.Lives, 0);
  ASSERT_LE(g.Energy, kFullEnergy);
  ASSERT_LE(g.Shield, kFullShield);
  ASSERT_TRUE(g.Status == gsBetweenStages || g.Status == gsStageIntro || g.Status == gsPlaying ||
              g.Status == gsGameOver);
  // The distance grows by at most one step per layer and frame, and is reset only by a frame
  // that began in the intro.
  if (w.status == gsStageIntro) {
    ASSERT_LE(g.Distance, 2);
  } else {
    ASSERT_GE(g.Distance, w.distance);
    ASSERT_LE(g.Distance, w.distance + 2);
  }
  if (g.Status == gsPlaying) {
    ASSERT_LE(g.Distance, (g.Stage + 1) * 5000 + 1);
  }

  // Tables: every object sits in its own slot; counts match.
  for (size_t i = 0; i < g.Hits.size(); ++i) {
    if (g.Hits[i]) {
      ASSERT_EQ(g.Hits[i]->Slot, i);
      ASSERT_LE(g.Hits[i]->Kind, 5);
      ASSERT_LT(g.Hits[i]->Counter, 16);
    }
  }
  for (size_t i = 0; i < g.Bonuses.size(); ++i) {
    if (g.Bonuses[i]) {
      ASSERT_EQ(g.Bonuses[i]->Slot, i);
      ASSERT_LE(g.Bonuses[i]->Y, 600);
    }
  }
  for (size_t i = 0; i < g.Asteroids.size(); ++i) {
    if (g.Asteroids[i]) {
      ASSERT_EQ(g.Asteroids[i]->Slot, i);
    }
  }
  ASSERT_EQ(g.Engine->EnemyCount, Occupied(g.Engine->Enemies));
  ASSERT_LE(g.Engine->EnemyCount, 9);
  for (const auto& enemy : g.Engine->Enemies) {
    if (!enemy) continue;
    // A ship at zero is removed in its own step; outside play ships are not stepped.
    if (w.status == gsPlaying && g.Status == gsPlaying) {
      ASSERT_GT(enemy->HitPoints, 0);
    }
    ASSERT_LE(enemy->Y, 601 + 2);
    CheckGun(enemy->Gun);
  }
  CheckGun(g.Ship->Gun);
  ASSERT_GE(g.Ship->X, 0);
  ASSERT_LE(g.Ship->X, 734);
  ASSERT_GE(g.Ship->Y, 40);
  ASSERT_LE(g.Ship->Y, 500);

  // The boss: only in a boss stage's play, of the stage's kind; its death ends the stage.
  const bool bossAlive = g.Engine->Boss != nullptr;
  if (bossAlive) {
    CheckGun(g.Engine->Boss->Gun);
    ASSERT_GT(g.Engine->Boss->HitPoints, 0);
    if (g.Status == gsPlaying) {
      ASSERT_EQ(g.StagePart, 3);
    }
  }
  if (bossAlive && !w.bossAlive) {
    ASSERT_EQ(g.StagePart, 3);
    ASSERT_EQ(g.Status, gsPlaying);
    ASSERT_EQ(g.Engine->Boss->Kind, g.BossKind());
    if (g.Stage == 3) {
      ASSERT_EQ(g.Engine->Boss->Kind, 0);
    }
    ++w.bossesMet;
  }
  if (!bossAlive && w.bossAlive && w.status == gsPlaying && g.Status != gsStageIntro) {
    // Killed in play: the stage ended in the same frame, with the boss's score.
    ASSERT_EQ(g.Stage, w.stage + 1);
    ASSERT_EQ(g.Status, g.Lives == 0 ? gsGameOver : gsBetweenStages);
    ++w.bossesKilled;
  }
  if (g.Stage != w.stage && !(w.bossAlive && !bossAlive)) ++w.stagesByDistance;
  if (w.status == gsPlaying && g.Status != gsPlaying && g.Stage == w.stage) ++w.livesLost;

  w.stage = g.Stage;
  w.status = g.Status;
  w.score = g.Score;
  w.distance = g.Distance;
  w.bossAlive = bossAlive;
}

class GameScenario : public ProgramHarness, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(GameScenario, AutopilotPlaysThroughTheFirstBossStageToGameOver) {
  // What the main menu's play command does.
  ScreenState = ssPlaying;
  StartGame(GetParam());
  Autopilot pilot(/*giveUpStage=*/4);
  Watch watch;
  int frames = 0;
  int stage4Frame = 0;
  const int kMaxFrames = 64 * 60 * 30;  // half an hour of play
  while (Game->Status != gsGameOver && frames < kMaxFrames) {
    fake.input.keys = pilot.Decide(*Game);
    Frame();
    ++frames;
    if (Game->Stage == 4 && stage4Frame == 0) stage4Frame = frames;
    CheckFrame(*Game, watch);
    ASSERT_TRUE(EnemyWorldConsistent(*Game)) << "frame " << frames;
    if (HasFatalFailure()) {
      ADD_FAILURE() << "frame " << frames << " stage " << int(Game->Stage);
      return;
    }
    ASSERT_EQ(ScreenState, ssPlaying);
  }
  ASSERT_EQ(Game->Status, gsGameOver) << "still alive after " << frames << " frames";
  EXPECT_GE(watch.stage, 4) << "lost at stage " << int(watch.stage);
  EXPECT_EQ(watch.bossesMet, 1);
  EXPECT_EQ(watch.bossesKilled, 1);
  EXPECT_EQ(Game->Lives, 0);
  EXPECT_FALSE(fake.display.cursorVisible);

  // "Game Over" for two seconds, then the name entry over the frozen last picture.
  fake.input.keys = {};
  int over = 0;
  while (ScreenState == ssPlaying && over < 200) {
    Frame();
    ++over;
  }
  EXPECT_GE(over, 128);
  EXPECT_LE(over, 130);
  ASSERT_GT(Game->Score, HiScores[kHiScoreCount - 1].Score);
  EXPECT_EQ(ScreenState, ssNameEntry);
  EXPECT_TRUE(fake.display.cursorVisible);
  for (int y = 0; y < 600; y += 7) {
    for (int x = 0; x < 800; x += 5) ASSERT_EQ(Form1->FSnapshot->GetPixel(x, y), Pixel(x, y));
  }
  std::printf("seed %u: stage 4 at frame %d, game over at %d, score %d, lives lost %d\n",
              GetParam(), stage4Frame, frames, Game->Score, watch.livesLost);
}

#if defined(__SANITIZE_ADDRESS__)
// An instrumented frame costs many times more; one whole game is enough there.
INSTANTIATE_TEST_SUITE_P(Seeds, GameScenario, ::testing::Values(3u));
#else
INSTANTIATE_TEST_SUITE_P(Seeds, GameScenario, ::testing::Values(1u, 2u, 3u));
#endif

}  // namespace
