// The game's own music and effect calls: the last life stops the tune at once with the
// game-over sound, and the menu tune follows when the game-over picture ends.
#include <gtest/gtest.h>

#include <memory>

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "fakes/fake_sound.h"
#include "fakes/program_harness.h"
#include "game/game.h"
#include "persistence/config.h"
#include "shell/menu_commands.h"
#include "shell/screen_state.h"

namespace {

class AudioGameOverTest : public ProgramHarness {
 protected:
  void BeforeCreate() override {
    platform::Services().sound = &sound;
    platform::Services().music = &music;
  }

  // A game under way, as the main menu's play command leaves it, about to lose its last life.
  void LoseTheLastLife() {
    if (Settings.Music) PlaySong("2.xm");
    ScreenState = ssPlaying;
    Game = std::make_unique<TGame>();
    Frame();
    Game->Status = gsPlaying;
    Game->Lives = 0;
    sound.plays.clear();
    Frame();
    ASSERT_EQ(Game->Status, gsGameOver);
  }


  fake::FakeSoundDevice sound;
  fake::FakeMusicPlayer music;
};

TEST_F(AudioGameOverTest, TheLastLifeStopsTheMusicAndTheMenuTuneFollowsTwoSecondsLater) {
  LoseTheLastLife();
  EXPECT_EQ(music.Playing(), "");
  ASSERT_EQ(sound.plays.size(), 1u);
  EXPECT_EQ(sound.EffectOf(sound.plays[0].voice), sfxLaser1);

  Frame(100);  // about 1.56 s: still the game-over picture
  EXPECT_EQ(ScreenState, ssPlaying);
  EXPECT_EQ(music.Playing(), "");
  Frame(40);
  EXPECT_NE(ScreenState, ssPlaying);
  EXPECT_EQ(music.Playing(), "sound/1.xm");
}

TEST_F(AudioGameOverTest, WithSoundOffTheGameOverSoundIsAtTheMinimum) {
  SetSound(false);
  LoseTheLastLife();
  ASSERT_EQ(sound.plays.size(), 1u);
  EXPECT_EQ(sound.plays[0].volume, -10000);
}

TEST_F(AudioGameOverTest, WithMusicOffTheGameOverEndStartsNothing) {
  Settings.Music = false;
  StopMusic();
  LoseTheLastLife();
  Frame(140);
  EXPECT_NE(ScreenState, ssPlaying);
  EXPECT_EQ(music.Playing(), "");
}

}  // namespace
