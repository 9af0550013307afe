#include "audio/music.h"

#include <gtest/gtest.h>

#include "fakes/fake_sound.h"

namespace {


class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMusicState();
    platform::Platform services;
    services.music = &player;
    platform::SetServices(services);
  }
  void TearDown() override {
    ResetMusicState();
    platform::SetServices({});
  }
  fake::FakeMusicPlayer player;
};

TEST_F(MusicTest, EveryStartLoadsTheModuleAfreshAndFreesThePrevious) {
  PlaySong("1.xm");
  EXPECT_EQ(player.Playing(), "sound/1.xm");
  PlaySong("2.xm");
  EXPECT_EQ(player.Playing(), "sound/2.xm");
  PlaySong("2.xm");
  EXPECT_EQ(player.log, (std::vector<std::string>{"load sound/1.xm", "play 1", "free 1",
                                                  "load sound/2.xm", "play 2", "free 2",
                                                  "load sound/2.xm", "play 3"}));
  EXPECT_EQ(Song, 3u);
}

TEST_F(MusicTest, StopFreesTheModuleOnce) {
  PlaySong("1.xm");
  StopMusic();
  StopMusic();
  EXPECT_EQ(Song, 0u);
  EXPECT_EQ(player.Playing(), "");
  EXPECT_EQ(player.log, (std::vector<std::string>{"load sound/1.xm", "play 1", "free 1"}));
}

TEST_F(MusicTest, AMissingModuleLeavesSilenceAndTheNextStartTriesAgain) {
  player.missing = {"sound/2.xm"};
  PlaySong("1.xm");
  PlaySong("2.xm");
  EXPECT_EQ(Song, 0u);
  EXPECT_EQ(player.Playing(), "");
  StopMusic();  // nothing left to free
  PlaySong("1.xm");
  EXPECT_EQ(player.Playing(), "sound/1.xm");
  EXPECT_EQ(player.log, (std::vector<std::string>{"load sound/1.xm", "play 1", "free 1",
                                                  "load sound/2.xm", "load sound/1.xm",
                                                  "play 2"}));
}

TEST_F(MusicTest, TheWatcherLeavesTheMusicAlone) {
  PlaySong("1.xm");
  for (int i = 0; i < 3; ++i) MusicWatch();
  StopMusic();
  MusicWatch();
  EXPECT_EQ(player.log, (std::vector<std::string>{"load sound/1.xm", "play 1", "free 1"}));
}

TEST_F(MusicTest, WithoutAPlayerThereIsNoMusic) {
  platform::Services().music = nullptr;
  PlaySong("1.xm");
  EXPECT_EQ(Song, 0u);
  StopMusic();
  MusicWatch();
  EXPECT_EQ(Song, 0u);
}

}  // namespace
