// The high-score page, the help pages, Esc on every screen, and the pictures the pages show.
#include <gtest/gtest.h>

#include "fakes/menu_harness.h"
#include "game/game.h"
#include "graphics/images.h"
#include "graphics/widget_layout.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/help_pages.h"
#include "shell/screen_state.h"
#include "shell/screens.h"

using platform::VK_DOWN;
using platform::VK_ESCAPE;
using platform::VK_LEFT;
using platform::VK_RETURN;
using platform::VK_RIGHT;
using platform::VK_UP;

using MenuPagesTest = MenuHarness;

TEST_F(MenuPagesTest, EscOnEveryScreen) {
  SkipIntro();
  Game = std::make_unique<TGame>();
  struct Case {
    int32_t state;
    int32_t after;
  };
  const Case cases[] = {
      {ssMainMenu, ssExitConfirm},        {ssOptions, ssMainMenu},
      {ssHighScores, ssMainMenu},         {ssHelpOverview, ssMainMenu},
      {ssHelpBonuses, ssMainMenu},        {ssHelpControls, ssMainMenu},
      {ssHelpAbout, ssMainMenu},          {ssExitConfirm, ssMainMenu},
      {ssClearScoresConfirm, ssHighScores}, {ssNameEntry, ssMainMenu},
      {ssSubmitQuestion, ssMainMenu},     {ssConnectFailed, ssMainMenu},
      {ssQuitGameConfirm, ssPlaying},     {ssPaused, ssPlaying},
      {ssSending, ssSending},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    ScreenState = c.state;
    Frame();
    ASSERT_EQ(ScreenState, c.state);
    Key(VK_ESCAPE);
    EXPECT_EQ(ScreenState, c.after);
  }
  EXPECT_TRUE(Running());
}

TEST_F(MenuPagesTest, EscDuringAGameAsksOnlyWhileTheGameIsPlaying) {
  OpenMainMenuItem(0);
  ASSERT_EQ(ScreenState, ssPlaying);
  for (uint8_t status : {gsStageIntro, gsBetweenStages, gsGameOver}) {
    Game->Status = status;
    Key(VK_ESCAPE);
    EXPECT_EQ(ScreenState, ssPlaying) << int{status};
  }
  Game->Status = gsPlaying;
  Key(VK_ESCAPE);
  EXPECT_EQ(ScreenState, ssQuitGameConfirm);
  EXPECT_TRUE(fake.display.cursorVisible);
  Key('N');
  EXPECT_EQ(ScreenState, ssPlaying);
  EXPECT_FALSE(fake.display.cursorVisible);
  EXPECT_EQ(Game->Status, gsPlaying);
  Key(VK_ESCAPE);
  Key(VK_LEFT);
  Key('Y');
  EXPECT_EQ(ScreenState, ssPlaying);
  EXPECT_EQ(Game->Status, gsGameOver) << "Yes ends the game";
}

TEST_F(MenuPagesTest, AMouseClickDuringTheGameDoesNotReachTheMenus) {
  OpenMainMenuItem(0);
  MainMenuButtons->Triggered = true;
  ClickOn(layout::kMainMenu[0].rect);
  EXPECT_EQ(ScreenState, ssPlaying);
  EXPECT_TRUE(MainMenuButtons->Triggered) << "no widget looked at the press";
}

TEST_F(MenuPagesTest, PauseFreezesTheShadedGamePictureAndResumes) {
  OpenMainMenuItem(0);
  Frame(3);
  Key('P');
  ASSERT_EQ(ScreenState, ssPaused);
  // Every other line of the frozen picture is the shading line.
  EXPECT_TRUE(PictureAt(*Form1->FSnapshot, *gfx::SpriteImages[9], 0, 0));
  EXPECT_TRUE(PictureAt(*Form1->FSnapshot, *gfx::SpriteImages[9], 0, 598));
  Frame(5);
  EXPECT_EQ(ScreenState, ssPaused);
  EXPECT_TRUE(TextAt(Back(), 350, 300, 32, 20, "Pause", 0x228822));
  Key('P');
  EXPECT_EQ(ScreenState, ssPlaying);
  Key('P');
  Key(VK_ESCAPE);
  EXPECT_EQ(ScreenState, ssPlaying);
}

TEST_F(MenuPagesTest, HighScorePageClearAndCancel) {
  OpenMainMenuItem(2);
  ASSERT_EQ(ScreenState, ssHighScores);
  HiScores[0] = {"Ace", 99999};
  EXPECT_EQ(HighScoreButtons->ItemIndex, 0);
  Key(VK_RETURN);
  ASSERT_EQ(ScreenState, ssClearScoresConfirm);
  Frame();
  Key(VK_RIGHT);
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssHighScores);
  EXPECT_EQ(HiScores[0].Name, "Ace") << "Cancel keeps the table";
  Key(VK_RETURN);
  Key(VK_LEFT);
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssHighScores);
  EXPECT_EQ(HiScores[0].Name, "Anonymous");
  EXPECT_EQ(HiScores[0].Score, 1000);
}

TEST_F(MenuPagesTest, ClearQuestionShowsTheFrozenPageUnderItsPanel) {
  OpenMainMenuItem(2);
  Frame();
  const std::vector<uint32_t> page = fake.display.lastFrame;
  Key(VK_RETURN);
  Frame();
  // Below the panel the page is still there as it was.
  for (int32_t y : {5, 150, 560}) EXPECT_EQ(Pixel(700, y), page[y * 800 + 700]) << y;
  EXPECT_TRUE(PictureAt(Back(), TopRows(*gfx::ScreenImages[19], 50), 210, 200));
  EXPECT_TRUE(TextAt(Back(), 260, 250, 26, 14, "Do you want to clear", 0x228822));
  EXPECT_TRUE(TextAt(Back(), 260, 278, 26, 14, "the High Score Table?", 0x228822));
}

TEST_F(MenuPagesTest, WorldTableOpensTheServerPage) {
  OpenMainMenuItem(2);
  ClickOn(layout::kHighScore[1].rect);
  ASSERT_EQ(fake.shell.opened.size(), 1u);
  EXPECT_EQ(fake.shell.opened[0],
            std::string("http://") + STARMOAT_SCORE_HOST + "//cgi/version.pl?prg=Starmoat&show&type=0");
  ClickOn(layout::kHighScore[2].rect);
  EXPECT_EQ(ScreenState, ssMainMenu);
}

TEST_F(MenuPagesTest, HelpPagesInOrderWithTheirButtons) {
  OpenMainMenuItem(3);
  ASSERT_EQ(ScreenState, ssHelpOverview);
  const int32_t pages[] = {ssHelpOverview, ssHelpBonuses, ssHelpControls, ssHelpAbout};
  HelpButtons->SetItemIndex(1);
  for (int i = 1; i < 4; ++i) {
    Key(VK_RETURN);
    EXPECT_EQ(ScreenState, pages[i]);
  }
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssHelpAbout) << "no page after the last";
  Key(VK_UP);
  for (int i = 2; i >= 0; --i) {
    Key(VK_RETURN);
    EXPECT_EQ(ScreenState, pages[i]);
  }
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssHelpOverview) << "no page before the first";
  ClickOn(layout::kHelp[1].rect);
  EXPECT_EQ(ScreenState, ssHelpBonuses);
  ClickOn(layout::kHelp[2].rect);
  EXPECT_EQ(ScreenState, ssMainMenu);
}

TEST_F(MenuPagesTest, HelpPagesShowTheirTitlesAndText) {
  struct Case {
    int32_t state;
    const char* title;
    int32_t x, y, h, w;
    const char* line;
    uint32_t rgb;
  };
  const Case cases[] = {
      {ssHelpOverview, "GAME OVERVIEW", 20, 300, 14, 10, "accomplishing your mission.", 0x228822},
      {ssHelpBonuses, "BONUSES", 590, 440, 24, 14, "mega-bomb", 0x228822},
      {ssHelpControls, "CONTROLS", 40, 320, 18, 10, "GAME NAVIGATIONS", 0x00FF00},
      {ssHelpAbout, "ABOUT", 170, 290, 28, 18, kAboutAddress, 0x228822},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    ScreenState = c.state;
    Frame();
    EXPECT_TRUE(TextAt(Back(), 475, 25, 28, 18, "HELP", 0x00FF00));
    EXPECT_TRUE(TextAt(Back(), 40, 140, 28, 18, c.title, 0x00FF00));
    EXPECT_TRUE(TextAt(Back(), c.x, c.y, c.h, c.w, c.line, c.rgb));
  }
}

TEST_F(MenuPagesTest, BonusPageShowsEightFramesOfTenScreenFramesEach) {
  SkipIntro();
  AnimCounter = 0;
  ScreenState = ssHelpBonuses;
  // Kind 2 (Energy) in column 0, row 2: 56 x 56 frames at (40, 420).
  const gfx::TSurface& strip = *gfx::SpriteImages[47];
  for (int frame = 0; frame < 9; ++frame) {
    Frame(10);
    const int f = frame % 8;
    gfx::TSurface picture(56, 56);
    const gfx::Rect src{f * 56, 0, f * 56 + 56, 56};
    picture.BltFast(0, 0, strip, &src, gfx::kBltWait);
    if (strip.ColorKey()) picture.SetColorKey(*strip.ColorKey());
    EXPECT_TRUE(PictureAt(Back(), picture, 40, 420)) << "animation frame " << f;
  }
}

TEST_F(MenuPagesTest, ExitQuestionDrawsThePanelAndTheAnswers) {
  OpenMainMenuItem(5);
  Frame();
  // The panel's upper part, above the question text.
  const gfx::TSurface upper = TopRows(*gfx::ScreenImages[19], 60);
  EXPECT_TRUE(PictureAt(Back(), upper, 190, 200));
  EXPECT_FALSE(PictureAt(Back(), upper, 191, 200));
  EXPECT_TRUE(TextAt(Back(), 300, 260, 46, 20, "Exit game?", 0x228822));
  EXPECT_TRUE(TextAt(Back(), 280, 340, 46, 20, "Yes", 0x00FF00));
  EXPECT_TRUE(TextAt(Back(), 460, 340, 46, 20, "No", 0x228822));
  PointAt(layout::kNo);
  Frame();
  EXPECT_TRUE(TextAt(Back(), 280, 340, 46, 20, "Yes", 0x228822));
  EXPECT_TRUE(TextAt(Back(), 460, 340, 46, 20, "No", 0x00FF00));
}

TEST_F(MenuPagesTest, MainMenuHighlightIsDrawnAtItsButton) {
  SkipIntro();
  for (int item = 0; item < 6; ++item) {
    SCOPED_TRACE(item);
    MainMenuButtons->SetItemIndex(item);
    Frame();
    const layout::ButtonPlace& place = layout::kMainMenu[item];
    EXPECT_TRUE(PictureAt(Back(), *gfx::ScreenImages[place.image], place.rect.left, place.rect.top));
    const layout::ButtonPlace& other = layout::kMainMenu[(item + 1) % 6];
    EXPECT_FALSE(PictureAt(Back(), *gfx::ScreenImages[other.image], other.rect.left, other.rect.top));
  }
}
