// The intro, the main menu by keys and by mouse, and the exit question.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes/menu_harness.h"
#include "game/game.h"
#include "graphics/widget_layout.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/screen_state.h"
#include "shell/screens.h"

namespace fs = std::filesystem;
using platform::VK_DOWN;
using platform::VK_ESCAPE;
using platform::VK_LEFT;
using platform::VK_RETURN;
using platform::VK_RIGHT;
using platform::VK_SPACE;
using platform::VK_UP;

using MainMenuTest = MenuHarness;

TEST_F(MainMenuTest, IntroTakesEightyFiveFramesAndWalksTheHighlightToTheLastItem) {
  // The window's creation drew the first intro frame.
  EXPECT_EQ(ScreenState, ssIntro);
  EXPECT_EQ(AnimCounter, 3u);
  Frame(83);
  EXPECT_EQ(ScreenState, ssIntro) << "84 frames drawn";
  EXPECT_EQ(MainMenuButtons->ItemIndex, 5);
  Frame();
  EXPECT_EQ(ScreenState, ssMainMenu) << "the 85th frame is the last intro frame";
  EXPECT_EQ(AnimCounter, 3u);
  EXPECT_EQ(MainMenuButtons->ItemIndex, 5);
  Frame(30);
  EXPECT_EQ(MainMenuButtons->ItemIndex, 5) << "the highlight stops moving on the main menu";
}

TEST_F(MainMenuTest, IntroIgnoresKeysButEndsAtOnceOnAnyMouseButton) {
  const int32_t keys[] = {VK_RETURN, VK_ESCAPE, VK_DOWN, 'P'};
  for (int32_t key : keys) Key(key);
  EXPECT_EQ(ScreenState, ssIntro);
  EXPECT_EQ(MainMenuButtons->ItemIndex, 0);
  Click(600, 100, 1);
  EXPECT_EQ(ScreenState, ssMainMenu);
}

TEST_F(MainMenuTest, KeysMoveTheHighlightWithWrapping) {
  SkipIntro();
  struct Step {
    int32_t key;
    int expected;
  };
  const Step steps[] = {{VK_DOWN, 1}, {VK_RIGHT, 2}, {VK_UP, 1}, {VK_LEFT, 0}, {VK_UP, 5},
                        {VK_DOWN, 0}};
  for (const Step& s : steps) {
    Key(s.key);
    EXPECT_EQ(MainMenuButtons->ItemIndex, s.expected) << "key " << s.key;
  }
}

struct MenuItemCase {
  int item;
  int32_t state;
};

const MenuItemCase kMenuItems[] = {
    {0, ssPlaying},      {1, ssOptions},    {2, ssHighScores},
    {3, ssHelpOverview}, {4, ssMainMenu},   {5, ssExitConfirm},
};

TEST_F(MainMenuTest, EveryItemByKeys) {
  for (const MenuItemCase& c : kMenuItems) {
    SCOPED_TRACE(c.item);
    ScreenState = ssMainMenu;
    while (MainMenuButtons->ItemIndex != c.item) Key(VK_DOWN);
    Key(c.item % 2 ? VK_SPACE : VK_RETURN);
    EXPECT_EQ(ScreenState, c.state);
  }
  EXPECT_NE(Game, nullptr);
}

TEST_F(MainMenuTest, EveryItemByMouse) {
  SkipIntro();
  for (const MenuItemCase& c : kMenuItems) {
    SCOPED_TRACE(c.item);
    ScreenState = ssMainMenu;
    Frame();
    ClickOn(layout::kMainMenu[c.item].rect);
    EXPECT_EQ(MainMenuButtons->ItemIndex, c.item);
    EXPECT_EQ(ScreenState, c.state);
  }
}

TEST_F(MainMenuTest, AClickBesideTheButtonsDoesNothing) {
  SkipIntro();
  MainMenuButtons->SetItemIndex(1);
  // On the border line of the first button: not inside it.
  Click(470, 350);
  Click(100, 400);
  EXPECT_EQ(ScreenState, ssMainMenu);
}

TEST_F(MainMenuTest, PlayStartsAFreshGameEachTime) {
  OpenMainMenuItem(0);
  ASSERT_EQ(ScreenState, ssPlaying);
  const TGame* first = Game.get();
  ASSERT_NE(first, nullptr);
  Game->Status = gsGameOver;
  ScreenState = ssMainMenu;
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssPlaying);
  EXPECT_NE(Game, nullptr);
  EXPECT_EQ(Game->Status, gsBetweenStages) << "a new game, not the finished one";
}

TEST_F(MainMenuTest, MoreGamesOpensTheShortcutOnlyWhenItExists) {
  OpenMainMenuItem(4);
  EXPECT_TRUE(fake.shell.opened.empty());
  std::ofstream(dir / "ventaro.url") << "[InternetShortcut]\n";
  Key(VK_RETURN);
  ASSERT_EQ(fake.shell.opened.size(), 1u);
  EXPECT_EQ(fake.shell.opened[0], "ventaro.url");
  EXPECT_EQ(ScreenState, ssMainMenu);
}

TEST_F(MainMenuTest, EscAsksBeforeLeavingAndNoReturns) {
  SkipIntro();
  Key(VK_ESCAPE);
  EXPECT_EQ(ScreenState, ssExitConfirm);
  EXPECT_TRUE(Running());
  Key(VK_RIGHT);
  EXPECT_FALSE(YesNoButtons->FirstSelected);
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssMainMenu);
  EXPECT_FALSE(MayClose);
  EXPECT_TRUE(Running());
}

TEST_F(MainMenuTest, ExitQuestionAnswers) {
  struct Case {
    int32_t key;
    int32_t state;
  };
  // N and Esc answer No whatever is highlighted; Y presses the highlighted answer.
  const Case cases[] = {{'N', ssMainMenu}, {VK_ESCAPE, ssMainMenu}};
  for (const Case& c : cases) {
    ScreenState = ssExitConfirm;
    YesNoButtons->FirstSelected = true;
    Key(c.key);
    EXPECT_EQ(ScreenState, c.state);
    EXPECT_TRUE(Running());
  }
  ScreenState = ssExitConfirm;
  YesNoButtons->FirstSelected = false;
  Key('Y');
  EXPECT_EQ(ScreenState, ssMainMenu) << "Y with No highlighted means No";
  EXPECT_TRUE(Running());
}

TEST_F(MainMenuTest, YesEndsTheProgramAndWritesTheSettingsFile) {
  SkipIntro();
  fs::remove(dir / "Config.cfg");
  Settings.Music = false;
  OpenMainMenuItem(5);
  ASSERT_EQ(ScreenState, ssExitConfirm);
  ClickOn(layout::kYes);
  EXPECT_TRUE(MayClose);
  EXPECT_FALSE(Running());
  ASSERT_TRUE(fs::exists(dir / "Config.cfg"));
  EXPECT_EQ(fs::file_size(dir / "Config.cfg"), 145u);
}

TEST_F(MainMenuTest, WindowCloseOnTheMainMenuAsksFirst) {
  SkipIntro();
  Notify(platform::WindowEvent::CloseRequested);
  EXPECT_EQ(ScreenState, ssExitConfirm);
  EXPECT_TRUE(Running());
}
