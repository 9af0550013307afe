// Alt combinations, the boss key and the mouse handlers.
#include <gtest/gtest.h>

#include "fakes/menu_harness.h"
#include "game/game.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/input.h"
#include "shell/screen_state.h"

using platform::kAlt;
using platform::VK_ESCAPE;
using platform::VK_F12;
using platform::VK_RETURN;

using InputTest = MenuHarness;

TEST_F(InputTest, AltEnterTogglesTheDisplayModeBetweenTwoWaits) {
  SkipIntro();
  const int modes = fake.display.setModeCount;
  fake.clock.slept.clear();
  Key(VK_RETURN, kAlt);
  EXPECT_FALSE(Settings.Windowed);
  EXPECT_FALSE(fake.display.windowed);
  EXPECT_EQ(fake.display.setModeCount, modes + 1);
  EXPECT_EQ(fake.clock.slept, (std::vector<uint32_t>{150, 150}));
  EXPECT_TRUE(fake.input.keyboardAcquired);
  EXPECT_EQ(ScreenState, ssMainMenu);
  Key(VK_RETURN, kAlt);
  EXPECT_TRUE(Settings.Windowed);
}

TEST_F(InputTest, AltWithAnyOtherKeyOnlyWaits) {
  SkipIntro();
  const int item = MainMenuButtons->ItemIndex;
  const int32_t keys[] = {0x12, 'P', VK_ESCAPE, VK_F12, 0x28};
  for (int32_t key : keys) {
    fake.clock.slept.clear();
    Key(key, kAlt);
    EXPECT_EQ(fake.clock.slept, (std::vector<uint32_t>{150, 150})) << key;
  }
  EXPECT_TRUE(Settings.Windowed);
  EXPECT_EQ(ScreenState, ssMainMenu);
  EXPECT_EQ(MainMenuButtons->ItemIndex, item);
  EXPECT_EQ(fake.display.minimizeCount, 0) << "Alt with the boss key is no boss key";
}

TEST_F(InputTest, BossKeyMinimisesFromEveryScreenAndDoesNothingElse) {
  Game = std::make_unique<TGame>();
  Game->Status = gsPlaying;
  const int32_t states[] = {ssIntro,       ssMainMenu,       ssPlaying,        ssOptions,
                            ssHighScores,  ssHelpOverview,   ssExitConfirm,    ssClearScoresConfirm,
                            ssBossKeyCapture, ssPaused,      ssNameEntry,      ssSubmitQuestion,
                            ssQuitGameConfirm, ssConnectFailed, ssSending,     ssHelpBonuses,
                            ssHelpControls, ssHelpAbout};
  int minimised = 0;
  for (int32_t state : states) {
    SCOPED_TRACE(state);
    ScreenState = state;
    Key(VK_F12);
    EXPECT_EQ(fake.display.minimizeCount, ++minimised);
    EXPECT_EQ(ScreenState, state);
    EXPECT_EQ(Settings.BossKey, VK_F12);
  }
}

TEST_F(InputTest, BossKeyLetterMinimisesInsteadOfTyping) {
  SkipIntro();
  Settings.BossKey = 'J';
  Game = std::make_unique<TGame>();
  ScreenState = ssNameEntry;
  for (int32_t key : {'J', 'O', 'J', 'E'}) Key(key);
  Frame();
  EXPECT_EQ(NameEdit->Text(), "Oe");
  EXPECT_EQ(fake.display.minimizeCount, 2);
}

TEST_F(InputTest, TextWithoutAKeyReachesNoHandler) {
  // An input method's text comes with key code 0; even a boss key of 0 must not see it.
  SkipIntro();
  Settings.BossKey = 0;
  Game = std::make_unique<TGame>();
  for (int32_t state : {ssMainMenu, ssNameEntry, ssBossKeyCapture}) {
    SCOPED_TRACE(state);
    ScreenState = state;
    MouseMove(500, 400);
    platform::WindowEvent text = Event(platform::WindowEvent::KeyDown);
    text.text = "\xc3\xa9";
    Send(text);
    EXPECT_EQ(fake.display.minimizeCount, 0);
    EXPECT_EQ(ScreenState, state);
    EXPECT_TRUE(Form1->FMouseActive) << "the text was taken for a key press";
  }
}

TEST_F(InputTest, KeysClearMouseActiveAndMovementSetsIt) {
  SkipIntro();
  MouseMove(500, 400);
  EXPECT_TRUE(Form1->FMouseActive);
  EXPECT_EQ(MouseX, 500);
  EXPECT_EQ(MouseY, 400);
  Key(platform::VK_DOWN);
  EXPECT_FALSE(Form1->FMouseActive);
  Key('P', kAlt);
  EXPECT_FALSE(Form1->FMouseActive);
}

TEST_F(InputTest, PointerIsNotTrackedWhileTheWindowIsNotReady) {
  SkipIntro();
  MouseMove(500, 400);
  Notify(platform::WindowEvent::FocusLost);
  MouseMove(20, 30);
  EXPECT_EQ(MouseX, 500);
  EXPECT_EQ(MouseY, 400);
  EXPECT_TRUE(Form1->FMouseActive);
}

TEST_F(InputTest, ResumingTheWindowDuringAGamePauses) {
  OpenMainMenuItem(0);
  Frame(2);
  Notify(platform::WindowEvent::Minimized);
  Notify(platform::WindowEvent::Restored);
  EXPECT_EQ(ScreenState, ssPaused);
}
