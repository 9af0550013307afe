// The places that start and stop music and play effects directly, driven through the menus
// and the game on the fake platform.
#include <gtest/gtest.h>

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "fakes/fake_sound.h"
#include "fakes/program_harness.h"
#include "game/game.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/screen_state.h"

namespace {

class AudioCallersTest : public ProgramHarness {
 protected:
  void BeforeCreate() override {
    platform::Services().sound = &sound;
    platform::Services().music = &music;
  }

  // Enter on the main menu's first button.
  void StartGame() {
    ScreenState = ssMainMenu;
    MainMenuButtons->SetItemIndex(0);
    Key(platform::VK_RETURN);
    ASSERT_EQ(ScreenState, ssPlaying);
  }

  void ChooseOptionRow(int8_t row) {
    ScreenState = ssOptions;
    OptionRows->ItemIndex = row;
    OptionRows->Choose();
  }


  fake::FakeSoundDevice sound;
  fake::FakeMusicPlayer music;
};

TEST_F(AudioCallersTest, ANewGameStartsTheGameTuneOnlyWithMusicOn) {
  StartGame();
  EXPECT_EQ(music.Playing(), "sound/2.xm");

  Settings.Music = false;
  StopMusic();
  StartGame();
  EXPECT_EQ(music.Playing(), "");
}

TEST_F(AudioCallersTest, TheMusicRowSwitchesTheMenuTune) {
  ChooseOptionRow(1);
  EXPECT_FALSE(Settings.Music);
  EXPECT_EQ(music.Playing(), "");
  const size_t logSize = music.log.size();
  ChooseOptionRow(1);
  EXPECT_TRUE(Settings.Music);
  EXPECT_EQ(music.Playing(), "sound/1.xm");
  EXPECT_EQ(music.log[logSize], "load sound/1.xm") << "started from its beginning";
}

TEST_F(AudioCallersTest, TheSoundRowSilencesTheClickStartingWithItsOwn) {
  ChooseOptionRow(2);
  EXPECT_FALSE(Settings.Sound);
  for (const auto& item : DXWaveList1.Items) EXPECT_EQ(item.Volume(), -10000) << item.Name;
  ASSERT_FALSE(sound.plays.empty());
  EXPECT_EQ(sound.EffectOf(sound.plays.back().voice), sfxMenuClick);
  EXPECT_EQ(sound.plays.back().volume, -10000);

  ChooseOptionRow(2);
  EXPECT_TRUE(Settings.Sound);
  EXPECT_EQ(sound.EffectOf(sound.plays.back().voice), sfxMenuClick);
  EXPECT_EQ(sound.plays.back().volume, 0);
}

}  // namespace
