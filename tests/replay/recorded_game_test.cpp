// Games played through the main window are recorded, and a recording plays the same game
// again: headless with the same fingerprints and score, and in the window with the same
// pictures and sounds and nothing saved. Edited recordings are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/autopilot.h"
#include "fakes/fake_sound.h"
#include "fakes/program_harness.h"
#include "game/game.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "persistence/replay_store.h"
#include "replay/fingerprint.h"
#include "replay/replay_check.h"
#include "replay/replay_file.h"
#include "shell/game_session.h"
#include "shell/screen_state.h"
#ifdef STARMOAT_SCORES_EXE
#include "replay_verifier.h"
#endif

namespace fs = std::filesystem;

namespace {

struct Sound {
  int effect;
  int32_t volume;
  int32_t pan;
  bool operator==(const Sound&) const = default;
};

struct Played {
  TReplay replay;
  int32_t score = 0;
  std::vector<uint64_t> fingerprints;  // every 64th frame, as the checker takes them
  std::vector<size_t> pictures;        // hash of each game frame's picture
  std::vector<Sound> sounds;
  std::vector<size_t> playing;         // frames stepped in play (not intro or game over)
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RecordedGameTest : public ProgramHarness {
 protected:
  void BeforeCreate() override { platform::Services().sound = &sound; }

  size_t PictureHash() const {
    const std::string_view bytes(reinterpret_cast<const char*>(fake.display.lastFrame.data()),
                                 fake.display.lastFrame.size() * sizeof(uint32_t));
    return std::hash<std::string_view>{}(bytes);
  }

  void TakeSounds(std::vector<Sound>& into) {
    for (const fake::PlayEvent& e : sound.plays) into.push_back({sound.EffectOf(e.voice), e.volume, e.pan});
    sound.plays.clear();
  }

  // One game from the play command to its end, the autopilot at the keys.
  Played Play(uint32_t seed, uint8_t giveUpStage, bool watchClosely) {
    Played p;
    ScreenState = ssPlaying;
    StartGame(seed);
    sound.plays.clear();
    Autopilot pilot(giveUpStage);
    for (int frame = 0; ScreenState == ssPlaying && frame < 64 * 60 * 30; ++frame) {
      fake.input.keys = pilot.Decide(*Game);
      if (Game->Status == gsPlaying) p.playing.push_back(static_cast<size_t>(frame));
      Frame();
      if (Game->Frames % kFingerprintInterval == 0) p.fingerprints.push_back(GameFingerprint(*Game));
      if (watchClosely) {
        p.pictures.push_back(PictureHash());
        TakeSounds(p.sounds);
      }
    }
    fake.input.keys = {};
    EXPECT_TRUE(Game->Finished);
    p.score = Game->Score;
    p.replay = CurrentRecording();
    return p;
  }

  // Leaves the name entry that follows a good game without a name, as a player may.
  void LeaveNameEntry() {
    if (ScreenState == ssNameEntry) Key(platform::VK_ESCAPE);
    ASSERT_EQ(ScreenState, ssMainMenu);
  }

  fake::FakeSoundDevice sound;
};

class RecordedGameSeeds : public RecordedGameTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(RecordedGameSeeds, PlaysBackHeadlessWithTheSameFingerprintsAndScore) {
  const Played played = Play(GetParam(), /*giveUpStage=*/2, false);
  ASSERT_EQ(played.replay.Frames.size(), Game->Frames);
  EXPECT_EQ(played.replay.Score, played.score);

  // The file on disk is this recording.
  const std::string bytes = ReadFile(ReplayPath(kLastReplayName));
  EXPECT_EQ(bytes, EncodeReplay(played.replay));

  const TReplayVerdict verdict = VerifyReplay(bytes.data(), bytes.size());
  ASSERT_TRUE(verdict.Ok) << verdict.Error;
  EXPECT_EQ(verdict.Score, played.score);
  EXPECT_EQ(verdict.Frames, played.replay.Frames.size());
  ASSERT_EQ(verdict.Fingerprints.size(), played.fingerprints.size() + 1);
  for (size_t i = 0; i < played.fingerprints.size(); ++i) {
    ASSERT_EQ(verdict.Fingerprints[i], played.fingerprints[i]) << "at frame " << 64 * (i + 1);
  }
  EXPECT_EQ(verdict.Fingerprints.back(), played.replay.Fingerprint);
  // The game the player had is still there for the name entry.
  ASSERT_TRUE(Game);
  EXPECT_EQ(Game->Score, played.score);

  // Played again, the same again.
  const TReplayVerdict again = VerifyReplay(bytes.data(), bytes.size());
  EXPECT_EQ(again.Fingerprints, verdict.Fingerprints);
#ifdef STARMOAT_SCORES_EXE
  // And the same in the world score server's verifier, which plays it in a child process.
  starmoat::server::VerifierOptions server;
  server.program = STARMOAT_SCORES_EXE;
  const starmoat::server::ReplayOutcome checked = starmoat::server::PlayInChild(bytes, server);
  ASSERT_TRUE(checked.ok) << checked.error;
  EXPECT_EQ(checked.score, played.score);
  EXPECT_EQ(checked.frames, played.replay.Frames.size());
  EXPECT_EQ(checked.fingerprints, starmoat::server::FingerprintDigest(verdict.Fingerprints));
#endif
  std::printf("seed %u: %zu frames, score %d, %zu bytes\n", GetParam(),
              played.replay.Frames.size(), played.score, bytes.size());
}

#if defined(__SANITIZE_ADDRESS__)
INSTANTIATE_TEST_SUITE_P(Seeds, RecordedGameSeeds, ::testing::Values(11u, 12u));
#else
INSTANTIATE_TEST_SUITE_P(Seeds, RecordedGameSeeds, ::testing::Range(1u, 21u));
#endif

TEST_F(RecordedGameTest, AReplayEditedByOneInputBitIsRefused) {
  const Played played = Play(5, 2, false);
  struct Edit {
    const char* what;
    size_t frame;
    uint16_t bit;
  };
  // Each edit changes what the ship does: a bit the game would not have noticed (fire while the
  // gun reloads) leaves the same game, and that replay is as good as the original.
  const std::vector<size_t>& in = played.playing;
  ASSERT_GT(in.size(), 100u);
  for (const Edit& e : {Edit{"steer left in the middle", in[in.size() / 2], kCtlLeft},
                        Edit{"steer right early", in[in.size() / 4], kCtlRight},
                        Edit{"quit at the first frame", 0, kCtlQuit}}) {
    SCOPED_TRACE(e.what);
    TReplay edited = played.replay;
    edited.Frames[e.frame].Controls ^= e.bit;
    const std::string bytes = EncodeReplay(edited);
    const TReplayVerdict verdict = VerifyReplay(bytes.data(), bytes.size());
    EXPECT_FALSE(verdict.Ok);
    EXPECT_FALSE(verdict.Error.empty());
  }
  // Another score, another name, another seed: refused too (the name is not checked here).
  TReplay other = played.replay;
  other.Score += 10;
  std::string bytes = EncodeReplay(other);
  EXPECT_FALSE(VerifyReplay(bytes.data(), bytes.size()).Ok);
  other = played.replay;
  other.Seed += 1;
  bytes = EncodeReplay(other);
  EXPECT_FALSE(VerifyReplay(bytes.data(), bytes.size()).Ok);
  other = played.replay;
  other.Frames.pop_back();
  bytes = EncodeReplay(other);
  EXPECT_FALSE(VerifyReplay(bytes.data(), bytes.size()).Ok);
  other = played.replay;
  other.Frames.push_back(other.Frames.back());
  bytes = EncodeReplay(other);
  EXPECT_FALSE(VerifyReplay(bytes.data(), bytes.size()).Ok);
}

TEST_F(RecordedGameTest, WatchedInTheWindowItShowsAndSoundsTheSameAndSavesNothing) {
  const Played played = Play(3, 1, true);
  ASSERT_EQ(played.pictures.size(), played.replay.Frames.size());
  LeaveNameEntry();
  Frame(3);
  const std::string config = ReadFile(dir / "Config.cfg");
  const std::string last = ReadFile(ReplayPath(kLastReplayName));
  const auto filesBefore = std::distance(fs::directory_iterator(dir / "replays"), fs::directory_iterator());
  const int32_t tenth = HiScores[kHiScoreCount - 1].Score;

  StartWatching(played.replay);
  sound.plays.clear();
  std::vector<size_t> pictures;
  std::vector<Sound> sounds;
  while (ScreenState == ssPlaying && pictures.size() < played.pictures.size() + 10) {
    Frame();
    pictures.push_back(PictureHash());
    TakeSounds(sounds);
  }
  EXPECT_EQ(ScreenState, ssMainMenu) << "the name entry is not shown for a replay";
  EXPECT_FALSE(Watching());
  ASSERT_EQ(pictures.size(), played.pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) ASSERT_EQ(pictures[i], played.pictures[i]) << "frame " << i;
  EXPECT_EQ(sounds, played.sounds);

  EXPECT_EQ(ReadFile(dir / "Config.cfg"), config);
  EXPECT_EQ(ReadFile(ReplayPath(kLastReplayName)), last);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "replays"), fs::directory_iterator()), filesBefore);
  EXPECT_EQ(HiScores[kHiScoreCount - 1].Score, tenth);
}

TEST_F(RecordedGameTest, EscEndsAReplayEarlyAndTheMainMenuFollows) {
  const Played played = Play(4, 1, false);
  LeaveNameEntry();
  StartWatching(played.replay);
  Frame(100);
  EXPECT_EQ(ScreenState, ssPlaying);
  Key(platform::VK_ESCAPE);
  EXPECT_EQ(ScreenState, ssMainMenu);
  EXPECT_FALSE(Watching());
  EXPECT_FALSE(Game);
  EXPECT_TRUE(fake.display.cursorVisible);
  Frame(5);
  EXPECT_EQ(ScreenState, ssMainMenu);
}

TEST_F(RecordedGameTest, AGameThatEntersTheTopTenIsKeptUnderItsDateAndScore) {
  const Played played = Play(6, 2, false);
  ASSERT_EQ(ScreenState, ssNameEntry);
  for (char c : std::string("ZED")) Key(c);
  const std::string name = NameEdit->Text();
  ASSERT_FALSE(name.empty());
  Key(platform::VK_RETURN);
  ASSERT_EQ(ScreenState, ssSubmitQuestion);
  const fs::path kept = ReplayPath(TopTenReplayName(played.replay.StartTime, played.score));
  ASSERT_TRUE(fs::exists(kept)) << kept;
  const std::string bytes = ReadFile(kept);
  const TReplayVerdict verdict = VerifyReplay(bytes.data(), bytes.size());
  ASSERT_TRUE(verdict.Ok) << verdict.Error;
  EXPECT_EQ(verdict.Name, name);
  EXPECT_EQ(verdict.Score, played.score);
}

TEST_F(RecordedGameTest, AFileInTheWayThatIsNoReplayIsLeftAlone) {
  fs::create_directories(dir / "replays");
  { std::ofstream(dir / "replays" / "last.smr") << "my notes, not a replay"; }
  Play(7, 1, false);
  EXPECT_EQ(ReadFile(dir / "replays" / "last.smr"), "my notes, not a replay");
  // A replay there is replaced by the next game's.
  fs::remove(dir / "replays" / "last.smr");
  LeaveNameEntry();
  Play(8, 1, false);
  LeaveNameEntry();
  const Played second = Play(9, 1, false);
  EXPECT_EQ(ReadFile(dir / "replays" / "last.smr"), EncodeReplay(second.replay));
}

}  // namespace
