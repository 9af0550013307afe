// Music and effects through the whole program on the fake platform: start-up, focus changes
// and the screens that pick the tune.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "fakes/fake_sound.h"
#include "fakes/program_harness.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/screen_state.h"

namespace {

class AudioScenarioTest : public ProgramHarness {
 protected:
  void BeforeCreate() override {
    music.missing = missing;
    sound.open = soundOpen;
    platform::Services().sound = &sound;
    platform::Services().music = &music;
  }

  void LoseFocus() { Send(platform::WindowEvent::FocusLost); }
  void GainFocus() { Send(platform::WindowEvent::FocusGained); }
  // Every load is a start from the module's beginning.
  size_t Loads() const {
    size_t n = 0;
    for (const auto& line : music.log) n += line.rfind("load ", 0) == 0;
    return n;
  }

  fake::FakeSoundDevice sound;
  fake::FakeMusicPlayer music;
  std::set<std::string> missing;
  bool soundOpen = true;
};

TEST_F(AudioScenarioTest, StartUpOpensTheBankAndPlaysTheMenuTune) {
  EXPECT_EQ(music.Playing(), "sound/1.xm");
  ASSERT_EQ(DXWaveList1.Items.size(), 7u);
  for (const auto& item : DXWaveList1.Items) {
    EXPECT_TRUE(item.Initialized) << item.Name;
    EXPECT_EQ(item.Volume(), 0) << item.Name;  // sound on
    EXPECT_NE(item.Buffer, nullptr) << item.Name;
  }
  Frame(10);
  EXPECT_EQ(music.Playing(), "sound/1.xm");
}

TEST_F(AudioScenarioTest, FocusLossStopsTheMusicAndFocusRestartsTheTuneOfTheScreen) {
  const struct {
    int32_t state;
    const char* tune;
  } cases[] = {
      {ssMainMenu, "sound/1.xm"}, {ssOptions, "sound/1.xm"},  {ssHighScores, "sound/1.xm"},
      {ssPlaying, "sound/2.xm"},  {ssPaused, "sound/2.xm"},   {ssNameEntry, "sound/1.xm"},
      {ssIntro, "sound/1.xm"},    {ssExitConfirm, "sound/1.xm"},
  };
  for (const auto& c : cases) {
    ScreenState = c.state;
    LoseFocus();
    EXPECT_EQ(music.Playing(), "") << c.state;
    EXPECT_EQ(Song, 0u);
    const size_t loads = Loads();
    GainFocus();
    EXPECT_EQ(music.Playing(), c.tune) << c.state;
    EXPECT_EQ(Loads(), loads + 1) << "a tune never resumes, it is loaded again";
  }
}

TEST_F(AudioScenarioTest, WithMusicOffFocusBringsNoMusic) {
  Settings.Music = false;
  ScreenState = ssPlaying;
  LoseFocus();
  const size_t loads = Loads();
  GainFocus();
  Frame(5);
  EXPECT_EQ(music.Playing(), "");
  EXPECT_EQ(Loads(), loads);
}

// A settings file with music and sound off.
class QuietStartTest : public AudioScenarioTest {
 protected:
  void BeforeCreate() override {
    Settings.Music = false;
    Settings.Sound = false;
    ASSERT_TRUE(SaveConfig());
    ResetConfigState();
    AudioScenarioTest::BeforeCreate();
  }
};

TEST_F(QuietStartTest, NothingIsLoadedAndTheEffectsAreTurnedDown) {
  EXPECT_FALSE(Settings.Music);
  EXPECT_TRUE(music.log.empty());
  for (const auto& item : DXWaveList1.Items) EXPECT_EQ(item.Volume(), -10000) << item.Name;
  PlaySound(400, 100, sfxNewStage);
  EXPECT_TRUE(sound.plays.empty());
}

class MissingGameTuneTest : public AudioScenarioTest {
 protected:
  void BeforeCreate() override {
    missing = {"sound/2.xm"};
    AudioScenarioTest::BeforeCreate();
  }
};

TEST_F(MissingGameTuneTest, TheGameIsSilentWhileTheMenusKeepTheirTune) {
  ScreenState = ssPlaying;
  LoseFocus();
  GainFocus();
  EXPECT_EQ(music.Playing(), "");
  Frame(3);
  ScreenState = ssMainMenu;
  LoseFocus();
  GainFocus();
  EXPECT_EQ(music.Playing(), "sound/1.xm");
}

class NoSoundDeviceTest : public AudioScenarioTest {
 protected:
  void BeforeCreate() override {
    soundOpen = false;
    AudioScenarioTest::BeforeCreate();
  }
};

TEST_F(NoSoundDeviceTest, TheProgramRunsSilentlyWithoutAMessage) {
  for (const auto& item : DXWaveList1.Items) EXPECT_FALSE(item.Initialized) << item.Name;
  PlaySound(400, 100, sfxNewStage);
  PlayEffectDirect(sfxMenuClick);
  Frame(20);
  EXPECT_TRUE(sound.voices.empty());
  EXPECT_TRUE(fake.display.errors.empty());
  EXPECT_TRUE(Running());
}

TEST_F(AudioScenarioTest, ShutdownFreesEveryVoice) {
  PlaySound(100, 100, sfxHit);
  Form1->FormDestroy();
  for (const auto& v : sound.voices) EXPECT_FALSE(v->alive);
}

}  // namespace
