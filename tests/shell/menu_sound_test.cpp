// Which menu actions click and which stay silent, heard through a recording sound device.
#include <gtest/gtest.h>

#include "audio/sound_bank.h"
#include "fakes/fake_sound.h"
#include "fakes/menu_harness.h"
#include "game/game.h"
#include "graphics/widget_layout.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/screen_state.h"

using platform::VK_DOWN;
using platform::VK_RETURN;
using platform::VK_RIGHT;
using platform::VK_UP;

class MenuSoundTest : public MenuHarness {
 protected:
  void BeforeCreate() override {
    platform::Platform p = fake.Services();
    p.sound = &device;
    platform::SetServices(p);
  }

  // Plays of the MenuClick effect so far (its main voice is made first, in bank order).
  std::vector<fake::PlayEvent> Clicks() const {
    std::vector<fake::PlayEvent> clicks;
    for (const fake::PlayEvent& e : device.plays) {
      if (e.voice == 0 || device.voices[e.voice]->duplicateOf == 0) clicks.push_back(e);
    }
    return clicks;
  }
  size_t ClickCount() const { return Clicks().size(); }

  fake::FakeSoundDevice device;
};

TEST_F(MenuSoundTest, StartUpClicksOncePerButtonColumnAndTheIntroOncePerStep) {
  EXPECT_EQ(ClickCount(), 3u) << "the three button columns select their first item";
  Frame(84);
  EXPECT_EQ(ScreenState, ssMainMenu);
  EXPECT_EQ(ClickCount(), 8u) << "five highlight steps";
}

TEST_F(MenuSoundTest, HighlightClickIsPannedByThePointer) {
  SkipIntro();
  MouseMove(799, 599);
  Key(VK_DOWN);
  const fake::PlayEvent last = Clicks().back();
  EXPECT_EQ(last.pan, 3990);
  EXPECT_EQ(last.volume, -201);
}

TEST_F(MenuSoundTest, LeavingTheIntroAndStartingAGameMakeNoClick) {
  const size_t before = ClickCount();
  Click(1, 1);
  EXPECT_EQ(ClickCount(), before);
  Frame();
  MainMenuButtons->SetItemIndex(0);
  const size_t beforePlay = ClickCount();
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssPlaying);
  EXPECT_EQ(ClickCount(), beforePlay);
}

TEST_F(MenuSoundTest, HelpButtonsWithoutAPageStaySilent) {
  OpenMainMenuItem(3);
  ASSERT_EQ(HelpButtons->ItemIndex, 0);
  size_t before = ClickCount();
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssHelpOverview);
  EXPECT_EQ(ClickCount(), before) << "no page before the first";
  ClickOn(layout::kHelp[1].rect);
  EXPECT_EQ(ScreenState, ssHelpBonuses);
  ScreenState = ssHelpAbout;
  before = ClickCount();
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssHelpAbout);
  EXPECT_EQ(ClickCount(), before) << "no page after the last";
  Key(VK_RIGHT);
  before = ClickCount();
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssMainMenu);
  EXPECT_EQ(ClickCount(), before + 1);
}

TEST_F(MenuSoundTest, SoundToggleSilencesItsOwnClickAndTheNextOnesAreAudibleAgain) {
  OpenMainMenuItem(1);
  while (OptionRows->ItemIndex > 2) Key(VK_UP);
  Key(VK_RETURN);
  EXPECT_FALSE(Settings.Sound);
  EXPECT_EQ(Clicks().back().volume, -10000);
  const size_t before = ClickCount();
  Key(VK_DOWN);
  EXPECT_EQ(ClickCount(), before) << "highlight clicks are not even started while sound is off";
  Key(VK_UP);
  EXPECT_EQ(Clicks().back().volume, -10000) << "the direct play of Up is turned down";
  Key(VK_RETURN);
  EXPECT_TRUE(Settings.Sound);
  EXPECT_EQ(Clicks().back().volume, 0);
}

TEST_F(MenuSoundTest, OptionRowsClickAtTheirEndsToo) {
  OpenMainMenuItem(1);
  size_t before = ClickCount();
  Key(VK_DOWN);
  EXPECT_EQ(OptionRows->ItemIndex, 5);
  EXPECT_EQ(ClickCount(), before + 1);
  OptionRows->ItemIndex = 0;
  before = ClickCount();
  Key(VK_UP);
  EXPECT_EQ(OptionRows->ItemIndex, 0);
  EXPECT_EQ(ClickCount(), before + 1);
  // A press beside the rows still sounds on this page.
  before = ClickCount();
  Click(5, 5);
  EXPECT_EQ(ClickCount(), before + 1);
}

TEST_F(MenuSoundTest, QuitGameAnswersAreSilent) {
  OpenMainMenuItem(0);
  Game->Status = gsPlaying;
  Key(platform::VK_ESCAPE);
  ASSERT_EQ(ScreenState, ssQuitGameConfirm);
  const size_t before = ClickCount();
  Key('Y');
  EXPECT_EQ(ScreenState, ssPlaying);
  EXPECT_EQ(ClickCount(), before);
}
