// The replay file: what is written is read back the same, small; and anything that is not an
// intact replay of this version is refused with a reason, never half read.
#include "replay/replay_file.h"

#include <gtest/gtest.h>

#include <string>

#include "replay/replay_check.h"

namespace {

TReplay Sample(size_t frames) {
  TReplay r;
  r.GameVersion = ReplayGameVersion();
  r.Seed = 0xC0FFEE;
  r.StartTick = 0xFFFFFF00u;  // the clock wraps during the game
  r.StartTime = 1765400000;
  r.Score = 12345;
  r.Fingerprint = 0x0123456789ABCDEFull;
  r.Name = "Ann";
  uint32_t tick = r.StartTick;
  for (size_t i = 0; i < frames; ++i) {
    tick += i == 500 ? 90000 : (i % 4 == 0 ? 15 : 16);  // a long pause in the middle
    r.Frames.push_back({tick, static_cast<uint16_t>((i / 40) % 3 == 0 ? kCtlLeftCtrl : kCtlLeft | kCtlLeftCtrl)});
  }
  for (size_t i = 0; i < frames / kReplayCheckInterval; ++i) r.Checks.push_back(static_cast<uint32_t>(i * 2654435761u));
  return r;
}

TEST(ReplayFile, WhatIsWrittenIsReadBackFieldByField) {
  const TReplay r = Sample(2000);
  const std::string bytes = EncodeReplay(r);
  const TReplayRead read = DecodeReplay(bytes.data(), bytes.size());
  ASSERT_TRUE(read.Ok) << read.Error;
  EXPECT_EQ(read.Replay.GameVersion, r.GameVersion);
  EXPECT_EQ(read.Replay.Seed, r.Seed);
  EXPECT_EQ(read.Replay.StartTick, r.StartTick);
  EXPECT_EQ(read.Replay.StartTime, r.StartTime);
  EXPECT_EQ(read.Replay.Score, r.Score);
  EXPECT_EQ(read.Replay.Fingerprint, r.Fingerprint);
  EXPECT_EQ(read.Replay.Name, r.Name);
  ASSERT_EQ(read.Replay.Frames.size(), r.Frames.size());
  for (size_t i = 0; i < r.Frames.size(); ++i) {
    ASSERT_EQ(read.Replay.Frames[i].Tick, r.Frames[i].Tick) << i;
    ASSERT_EQ(read.Replay.Frames[i].Controls, r.Frames[i].Controls) << i;
  }
  EXPECT_EQ(read.Replay.Checks, r.Checks);
  EXPECT_TRUE(CheckReplayVersion(read.Replay).empty());
  // 2000 frames are half a minute of play.
  EXPECT_LT(bytes.size(), 800u);
}

TEST(ReplayFile, AnythingButAnIntactReplayIsRefusedWithAReason) {
  const std::string good = EncodeReplay(Sample(300));
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::vector<Case> cases = {
      {"empty", ""},
      {"garbage", std::string(500, 'x')},
      {"magic only", "SMRP"},
      {"cut in the header", good.substr(0, 20)},
      {"cut in the stream", good.substr(0, good.size() - 10)},
      {"one byte short", good.substr(0, good.size() - 1)},
      {"one byte more", good + "!"},
  };
  std::string flipped = good;
  flipped[flipped.size() / 2] ^= 0x01;
  cases.push_back({"one bit flipped", flipped});
  std::string format = good;
  format[4] = 2;
  cases.push_back({"another format", format});
  for (size_t cut = 0; cut < good.size(); cut += 7) cases.push_back({"cut", good.substr(0, cut)});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TReplayRead read = DecodeReplay(c.bytes.data(), c.bytes.size());
    EXPECT_FALSE(read.Ok);
    EXPECT_FALSE(read.Error.empty());
    EXPECT_EQ(read.Error.find('\n'), std::string::npos);
    const TReplayVerdict verdict = VerifyReplay(c.bytes.data(), c.bytes.size());
    EXPECT_FALSE(verdict.Ok);
  }
}

TEST(ReplayFile, SizesAndCountsInsideAreCheckedEvenWithAGoodChecksum) {
  // Frame counts and stream sizes that lie, each with a correct checksum.
  TReplay r = Sample(10);
  r.Frames.clear();
  const std::string none = EncodeReplay(r);
  EXPECT_FALSE(DecodeReplay(none.data(), none.size()).Ok) << "no frames";

  r = Sample(10);
  r.GameVersion.clear();
  const std::string noVersion = EncodeReplay(r);
  EXPECT_FALSE(DecodeReplay(noVersion.data(), noVersion.size()).Ok) << "no version";

  r = Sample(10);
  r.Frames[3].Controls = 0x8000;  // a control the game does not have
  const std::string unknown = EncodeReplay(r);
  EXPECT_FALSE(DecodeReplay(unknown.data(), unknown.size()).Ok) << "unknown control";
}

TEST(ReplayFile, AReplayOfAnotherVersionIsRefusedWithBothVersionsNamed) {
  TReplay r = Sample(100);
  r.GameVersion = "0.9.1";
  const std::string bytes = EncodeReplay(r);
  const TReplayRead read = DecodeReplay(bytes.data(), bytes.size());
  ASSERT_TRUE(read.Ok);
  const std::string why = CheckReplayVersion(read.Replay);
  EXPECT_NE(why.find("0.9.1"), std::string::npos) << why;
  EXPECT_NE(why.find(ReplayGameVersion()), std::string::npos) << why;
  const TReplayVerdict verdict = VerifyReplay(bytes.data(), bytes.size());
  EXPECT_FALSE(verdict.Ok);
  EXPECT_EQ(verdict.Error, why);
}

TEST(ReplayFile, LimitsRefuseLargeFilesAndLongGamesUnplayed) {
  const std::string bytes = EncodeReplay(Sample(1000));
  TReplayLimits small;
  small.MaxBytes = bytes.size() - 1;
  EXPECT_FALSE(VerifyReplay(bytes.data(), bytes.size(), small).Ok);
  TReplayLimits shortGames;
  shortGames.MaxFrames = 999;
  const TReplayVerdict verdict = VerifyReplay(bytes.data(), bytes.size(), shortGames);
  EXPECT_FALSE(verdict.Ok);
  EXPECT_EQ(verdict.Frames, 0u);
}

}  // namespace
