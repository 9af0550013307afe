#include "persistence/hiscores.h"

#include <gtest/gtest.h>

#include "persistence/config.h"
#include "config_files.h"

namespace {

std::vector<int32_t> Scores() {
  std::vector<int32_t> scores;
  for (const THiScores& e : HiScores) scores.push_back(e.Score);
  return scores;
}

}  // namespace

TEST(HiScoreTable, AScoreMustBeatTheTenthEntry) {
  WorkDir dir;
  EXPECT_FALSE(ScoreQualifies(100));
  EXPECT_TRUE(ScoreQualifies(101));
  EXPECT_FALSE(ScoreQualifies(-1));
}

TEST(HiScoreTable, InsertionPlacesTheEntryBelowEqualScores) {
  struct Case {
    int32_t score;
    int place;                    // where the new entry lands
    std::vector<int32_t> scores;  // the whole table afterwards
  };
  const Case cases[] = {
      {101, 9, {1000, 900, 800, 700, 600, 500, 400, 300, 200, 101}},
      {1000, 1, {1000, 1000, 900, 800, 700, 600, 500, 400, 300, 200}},
      {500, 6, {1000, 900, 800, 700, 600, 500, 500, 400, 300, 200}},
      {5000, 0, {5000, 1000, 900, 800, 700, 600, 500, 400, 300, 200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.score);
    WorkDir dir;
    InsertHiScore("New", c.score);
    EXPECT_EQ(Scores(), c.scores);
    for (int i = 0; i < kHiScoreCount; ++i) {
      EXPECT_EQ(HiScores[i].Name, i == c.place ? "New" : "Anonymous") << "entry " << i;
    }
  }
}

TEST(HiScoreTable, InsertionSavesAtOnceAndKeepsAnEmptyName) {
  WorkDir dir;
  ReadConfig();
  InsertHiScore("", 950);
  ResetConfigState();
  ReadConfig();
  EXPECT_EQ(HiScores[1].Name, "");
  EXPECT_EQ(HiScores[1].Score, 950);
  EXPECT_EQ(HiScores[9].Score, 200);
}

TEST(HiScoreTable, EveryPassRunsSoAnUnorderedTableComesOutSorted) {
  WorkDir dir;
  const int32_t mixed[kHiScoreCount] = {5, 70, 10, 900, 40, 40, 3, 800, 60, 1};
  for (int i = 0; i < kHiScoreCount; ++i) HiScores[i] = {"E" + std::to_string(i), mixed[i]};
  InsertHiScore("New", 40);
  EXPECT_EQ(Scores(), (std::vector<int32_t>{900, 800, 70, 60, 40, 40, 40, 10, 5, 3}));
  // Equal scores keep their order, the newcomer last among them.
  EXPECT_EQ(HiScores[4].Name, "E4");
  EXPECT_EQ(HiScores[5].Name, "E5");
  EXPECT_EQ(HiScores[6].Name, "New");
}

TEST(HiScoreTable, SwapExchangesBothFields) {
  WorkDir dir;
  HiScores[3] = {"Three", 3};
  HiScores[4] = {"Four", 4};
  SwapHiScores(4);
  EXPECT_EQ(HiScores[3].Name, "Four");
  EXPECT_EQ(HiScores[3].Score, 4);
  EXPECT_EQ(HiScores[4].Name, "Three");
  EXPECT_EQ(HiScores[4].Score, 3);
}
