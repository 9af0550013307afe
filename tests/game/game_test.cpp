// Stage and level flow, the kind pickers, explosions through AddHit and the head-up display.
#include "game/game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "game/base_boss.h"
#include "game/bonus.h"
#include "game/enemy_engine.h"
#include "game/hit.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "fakes/world_fixture.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/game_session.h"
#include "shell/screen_state.h"

namespace {

struct StageCase {
  uint8_t stage;
  uint8_t cycle;
  uint8_t nextPart;  // StagePart after NextStage from this stage
  const char* levelText;
};

class StageTableTest : public WorldTest, public ::testing::WithParamInterface<StageCase> {};

TEST_P(StageTableTest, CycleLevelTextAndNextStage) {
  const StageCase c = GetParam();
  Game->Stage = c.stage;
  Game->StagePart = c.stage % 3 == 0 ? 3 : c.stage % 3;
  EXPECT_EQ(Game->StageCycle(), c.cycle);
  EXPECT_EQ(LevelText(Game->Stage, Game->StagePart), c.levelText);
  Game->Status = gsPlaying;
  Game->NextStage();
  EXPECT_EQ(Game->Stage, c.stage + 1);
  EXPECT_EQ(Game->StagePart, c.nextPart);
  EXPECT_EQ(Game->Status, gsBetweenStages);
}

INSTANTIATE_TEST_SUITE_P(Stages, StageTableTest,
                         ::testing::Values(StageCase{1, 1, 2, "Level 1-1"},
                                           StageCase{3, 3, 1, "Level 1-3"},
                                           StageCase{4, 4, 2, "Level 2-1"},
                                           StageCase{5, 5, 3, "Level 2-2"},
                                           StageCase{9, 9, 1, "Level 3-3"},
                                           StageCase{10, 10, 2, "Level 4-1"},
                                           StageCase{11, 1, 3, "Level 4-2"},
                                           StageCase{19, 9, 2, "Level 7-1"},
                                           StageCase{20, 10, 3, "Level 7-2"},
                                           StageCase{21, 1, 1, "Level 7-3"}));

TEST_F(WorldTest, BossKindByStageAndTheStagesWithoutOwnBoss) {
  const std::pair<uint8_t, uint8_t> cases[] = {{3, 0},  {6, 1},  {9, 2},  {15, 0}, {18, 1},
                                               {24, 0}, {27, 1}, {30, 2}, {12, 0}, {21, 0},
                                               {42, 1}, {51, 1}};
  for (auto [stage, kind] : cases) {
    Game->Stage = stage;
    EXPECT_EQ(Game->BossKind(), kind) << "stage " << int(stage);
  }
}

TEST_F(WorldTest, PickKindWeightedBandsFollowOneDrawOfHundred) {
  for (uint32_t seed = 0; seed < 400; ++seed) {
    Randomize(seed);
    const int32_t r = Random(100);
    const int32_t sub = Random(3);
    const int32_t expected = r <= 70 ? sub : r < 80 ? 3 + sub : 6 + sub;
    Randomize(seed);
    EXPECT_EQ(Game->PickKindWeighted(70, 10), expected) << "r = " << r;
  }
}

TEST_F(WorldTest, PickEnemyKindStaysBelowTheStageCycleAndReachesIt) {
  for (uint8_t stage : {1, 2, 5, 9, 10, 11, 12, 20}) {
    Game->Stage = stage;
    std::set<int> seen;
    for (int i = 0; i < 3000; ++i) seen.insert(Game->PickEnemyKind());
    EXPECT_EQ(*seen.begin(), 0);
    // Nine kinds exist, so stage cycles 9 and 10 both reach kind 8.
    EXPECT_EQ(*seen.rbegin(), std::min(Game->StageCycle(), uint8_t{9}) - 1) << "stage " << int(stage);
  }
}

TEST_F(WorldTest, FirstFrameGoesStraightToTheIntroWithTheShipParked) {
  // The world leaves the pointer alone: the play command hides it (see the scenario tests).
  EXPECT_TRUE(fake.display.cursorVisible);
  EXPECT_EQ(MaxEnemyIndex, 19);
  EXPECT_EQ(Game->Status, gsBetweenStages);
  Frame();
  EXPECT_EQ(Game->Status, gsStageIntro);
  Game->Distance = 4000;
  Frame();
  EXPECT_EQ(Game->Ship->X, 390);
  EXPECT_EQ(Game->Ship->Y, 500);
  // Reset at the start of the frame; the two layers then scroll once each.
  EXPECT_LE(Game->Distance, 2);
}

TEST_F(WorldTest, IntroLastsStrictlyMoreThan2000Ms) {
  Frame();  // -> intro, StatusTick = now
  const uint32_t start = Game->StatusTick;
  fake.clock.SetTick(start + 2000);
  Game->Update({fake.clock.now, FrameInput.Controls}, back.get());
  EXPECT_EQ(Game->Status, gsStageIntro);
  fake.clock.SetTick(start + 2001);
  Game->Update({fake.clock.now, FrameInput.Controls}, back.get());
  EXPECT_EQ(Game->Status, gsPlaying);
  EXPECT_EQ(Game->Energy, kFullEnergy);
  EXPECT_FALSE(Game->Engine->Boss);
}

TEST_F(WorldTest, IntroEndClearsTheWorldAndBringsTheBossOnStagePart3) {
  Game->Stage = 6;
  Game->StagePart = 3;
  Game->Energy = 20;
  Game->Engine->PlaceEnemy(0, 100, 100, 0);
  StartPlaying();
  EXPECT_EQ(Game->Engine->EnemyCount, 0);
  EXPECT_EQ(Game->Energy, kFullEnergy);
  ASSERT_TRUE(Game->Engine->Boss);
  EXPECT_EQ(Game->Engine->Boss->Kind, 1);
}

TEST_F(WorldTest, StageEndsAtItsDistanceAndTheRestOfTheFrameStillPlays) {
  StartPlaying();
  Game->Distance = 2 * 5000 - 1;
  Frame();
  EXPECT_EQ(Game->Status, gsPlaying);
  EXPECT_EQ(Game->Stage, 1);
  ASSERT_GE(Game->Distance, 10000);
  Frame();
  EXPECT_EQ(Game->Stage, 2);
  EXPECT_EQ(Game->StagePart, 2);
  EXPECT_EQ(Game->Status, gsBetweenStages);
}

TEST_F(WorldTest, BothLayersAddAboutTwoStepsPerFrame) {
  StartPlaying();
  const int32_t before = Game->Distance;
  Frame(64);
  // The upper layer steps every frame; the 15 ms lower one misses a frame after a 15 ms gap.
  EXPECT_GE(Game->Distance - before, 64 + 32);
  EXPECT_LT(Game->Distance - before, 128);
}

TEST_F(WorldTest, LosingTheLastLifeEndsTheGameInTheSameFrame) {
  StartPlaying();
  Game->Lives = 1;
  Game->Energy = 0;
  Frame();
  EXPECT_EQ(Game->Lives, 0);
  EXPECT_EQ(Game->Status, gsGameOver);
}

TEST_F(WorldTest, ALifeCollectedInTheSameFrameKeepsTheGameGoing) {
  StartPlaying();
  Game->Lives = 1;
  Game->Energy = 0;
  Game->Bonuses[0] = std::make_unique<TBonus>(0, Game->Ship->X, Game->Ship->Y);
  Game->Bonuses[0]->Kind = 1;
  Frame();
  EXPECT_FALSE(Game->Bonuses[0]);
  EXPECT_EQ(Game->Lives, 1);
  EXPECT_EQ(Game->Status, gsBetweenStages);
}

TEST_F(WorldTest, LosingALifeRestartsTheStageThroughTheIntro) {
  StartPlaying();
  Game->Energy = -5;
  Game->Distance = 3000;
  Frame();
  EXPECT_EQ(Game->Lives, 2);
  EXPECT_EQ(Game->Status, gsBetweenStages);
  for (int i = 0; i < 200 && Game->Status == gsBetweenStages; ++i) Frame();
  EXPECT_EQ(Game->Status, gsStageIntro);
  Frame();
  EXPECT_LE(Game->Distance, 2);
  EXPECT_EQ(Game->Stage, 1);
}

struct GameOverCase {
  int32_t score;
  int32_t screen;
};

class GameOverTest : public WorldTest, public ::testing::WithParamInterface<GameOverCase> {};

TEST_P(GameOverTest, AfterTwoSecondsTheMenuOrTheNameEntryWithTheFinalPicture) {
  TForm1 form;
  form.FSnapshot = std::make_unique<gfx::TSurface>(800, 600);
  Form1 = &form;
  ScreenState = ssPlaying;
  fake.display.cursorVisible = false;  // as the play command leaves it
  Game->Score = GetParam().score;
  Game->Status = gsGameOver;
  Game->StatusTick = fake.clock.now;
  // The shell's game frames: the game's step, then what follows its end.
  fake.clock.SetTick(Game->StatusTick + 2000);
  StepGame(back.get());
  EXPECT_EQ(ScreenState, ssPlaying);
  EXPECT_FALSE(Game->Finished);
  EXPECT_FALSE(fake.display.cursorVisible);
  fake.clock.SetTick(Game->StatusTick + 2001);
  StepGame(back.get());
  EXPECT_TRUE(Game->Finished);
  EXPECT_EQ(ScreenState, GetParam().screen);
  EXPECT_TRUE(fake.display.cursorVisible);
  if (GetParam().screen == ssNameEntry) {
    for (int y = 0; y < 600; y += 37) {
      for (int x = 0; x < 800; x += 41) ASSERT_EQ(form.FSnapshot->GetPixel(x, y), back->GetPixel(x, y));
    }
  } else {
    EXPECT_EQ(form.FSnapshot->GetPixel(400, 300), 0u);
  }
  Form1 = nullptr;
}

// The default table's tenth entry holds 100.
INSTANTIATE_TEST_SUITE_P(Scores, GameOverTest,
                         ::testing::Values(GameOverCase{100, ssMainMenu},
                                           GameOverCase{101, ssNameEntry}));

TEST_F(WorldTest, AddHitTakesTheLowestFreeSlotAndNothingWhenFull) {
  for (int i = 0; i < kTableSize; ++i) Game->AddHit(i, 0, 0, 0);
  Game->Hits[5].reset();
  Game->AddHit(77, 88, 12, -3);
  ASSERT_TRUE(Game->Hits[5]);
  EXPECT_EQ(Game->Hits[5]->X, 77);
  EXPECT_EQ(Game->Hits[5]->Kind, 3);
  EXPECT_EQ(Game->Hits[5]->Counter, -3);
  Game->AddHit(1, 2, 0, 0);
  for (const auto& hit : Game->Hits) ASSERT_TRUE(hit);
  EXPECT_EQ(Game->Hits[19]->X, 19);
}

// Topmost y in column x whose pixel has the colour, or -1.
int32_t TopOf(const gfx::TSurface& s, int32_t x, uint32_t colour) {
  for (int32_t y = 0; y < s.Height(); ++y) {
    if (s.GetPixel(x, y) == colour) return y;
  }
  return -1;
}

TEST_F(WorldTest, HudBarsGrowUpFromY454) {
  const struct {
    int16_t energy, shield;
  } cases[] = {{124, 62}, {100, 10}, {1, 1}, {0, 0}, {-20, -3}};
  for (auto c : cases) {
    Game->Energy = c.energy;
    Game->Shield = c.shield;
    back->Fill(0);
    Game->DrawHud(back.get());
    EXPECT_EQ(TopOf(*back, 785, SpriteColour(1)), c.energy > 0 ? 454 - c.energy : -1);
    EXPECT_EQ(TopOf(*back, 750, SpriteColour(0)), c.shield > 0 ? 454 - 2 * c.shield : -1);
    EXPECT_NE(back->GetPixel(785, 455), SpriteColour(1));
  }
}

TEST_F(WorldTest, HudMarkerRisesWithTheStagesDistance) {
  const struct {
    uint8_t stage;
    int32_t distance;
    int32_t y;
  } cases[] = {{1, 0, 245}, {1, 5000, 150}, {1, 10000, 55}, {3, 10000, 150}, {1, 13, 245}};
  for (auto c : cases) {
    Game->Stage = c.stage;
    Game->Distance = c.distance;
    back->Fill(0);
    Game->DrawHud(back.get());
    EXPECT_EQ(TopOf(*back, 765, ScreenColour(7)), c.y) << int(c.stage) << " " << c.distance;
  }
}

TEST_F(WorldTest, HudWeaponIconBySlotAndPosition) {
  const struct {
    uint8_t kind;
    int slot;
    int32_t y;
  } cases[] = {{0, 59, 518}, {1, 56, 518}, {3, 57, 518}, {8, 55, 518}, {5, 58, 508}, {2, -1, 0}};
  for (auto c : cases) {
    Game->Ship->Gun.WeaponKind = c.kind;
    back->Fill(0);
    Game->DrawHud(back.get());
    if (c.slot < 0) {
      for (int s : {55, 56, 57, 58, 59}) EXPECT_EQ(TopOf(*back, 665, SpriteColour(s)), -1);
    } else {
      EXPECT_EQ(TopOf(*back, 665, SpriteColour(c.slot)), c.y);
    }
  }
}

TEST_F(WorldTest, HudShowsTheSpecialsHeld) {
  Game->Ship->HasWall = true;
  Game->DrawHud(back.get());
  EXPECT_EQ(back->GetPixel(760, 580), ScreenColour(39));
  EXPECT_NE(back->GetPixel(710, 580), ScreenColour(40));
  Game->Ship->HasBomb = true;
  Game->DrawHud(back.get());
  EXPECT_EQ(back->GetPixel(710, 580), ScreenColour(40));
}

}  // namespace
