// The options page: rows by keys and mouse, the toggles, the country box and the boss key.
#include <gtest/gtest.h>

#include "fakes/menu_harness.h"
#include "graphics/widget_layout.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/screen_state.h"
#include "shell/screens.h"

using platform::VK_BACK;
using platform::VK_DOWN;
using platform::VK_ESCAPE;
using platform::VK_LEFT;
using platform::VK_RETURN;
using platform::VK_RIGHT;
using platform::VK_SPACE;
using platform::VK_UP;

class OptionsPageTest : public MenuHarness {
 protected:
  void SetUp() override {
    MenuHarness::SetUp();
    OpenMainMenuItem(1);
    ASSERT_EQ(ScreenState, ssOptions);
  }
  void GoToRow(int row) {
    while (OptionRows->ItemIndex > row) Key(VK_UP);
    while (OptionRows->ItemIndex < row) Key(VK_DOWN);
  }
};

TEST_F(OptionsPageTest, RowsStopAtBothEnds) {
  EXPECT_EQ(OptionRows->ItemIndex, 5) << "the page opens on the back row";
  Key(VK_DOWN);
  EXPECT_EQ(OptionRows->ItemIndex, 5);
  for (int expected : {4, 3, 2, 1, 0, 0}) {
    Key(VK_UP);
    EXPECT_EQ(OptionRows->ItemIndex, expected);
  }
}

TEST_F(OptionsPageTest, EnterToggleKeepsThePageAndShowsTheNewValue) {
  GoToRow(0);
  Key(VK_RETURN);
  EXPECT_FALSE(Settings.Windowed);
  EXPECT_FALSE(fake.display.windowed);
  EXPECT_EQ(ScreenState, ssOptions);
  Frame();
  EXPECT_TRUE(TextAt(Back(), 310, 238, 18, 10, "FullScreen", 0x00FF00));
  EXPECT_FALSE(TextAt(Back(), 320, 238, 18, 14, "Window", 0x00FF00));
  Key(VK_SPACE);
  EXPECT_TRUE(Settings.Windowed);
  Frame();
  EXPECT_TRUE(TextAt(Back(), 320, 238, 18, 14, "Window", 0x00FF00));
  EXPECT_FALSE(TextAt(Back(), 321, 238, 18, 14, "Window", 0x00FF00));
  EXPECT_FALSE(TextAt(Back(), 310, 238, 18, 10, "FullScreen", 0x00FF00));
}

TEST_F(OptionsPageTest, MusicAndSoundToggleAndShowOnOff) {
  struct Case {
    int row;
    bool* option;
    int32_t y;
  };
  const Case cases[] = {{1, &Settings.Music, 298}, {2, &Settings.Sound, 358}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    GoToRow(c.row);
    ASSERT_TRUE(*c.option);
    Key(VK_RETURN);
    EXPECT_FALSE(*c.option);
    Frame();
    EXPECT_TRUE(TextAt(Back(), 344, c.y, 18, 10, "Off", 0x00FF00));
    Key(VK_RETURN);
    EXPECT_TRUE(*c.option);
    Frame();
    EXPECT_TRUE(TextAt(Back(), 344, c.y, 18, 14, "On", 0x00FF00));
  }
}

TEST_F(OptionsPageTest, LeftAndRightToggleTheSwitchRowsOnly) {
  struct Case {
    int row;
    int32_t key;
  };
  const Case cases[] = {{0, VK_RIGHT}, {1, VK_LEFT}, {2, VK_RIGHT}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    GoToRow(c.row);
    const TOptions before = Settings;
    Key(c.key);
    EXPECT_EQ(Settings.Windowed, c.row == 0 ? !before.Windowed : before.Windowed);
    EXPECT_EQ(Settings.Music, c.row == 1 ? !before.Music : before.Music);
    EXPECT_EQ(Settings.Sound, c.row == 2 ? !before.Sound : before.Sound);
    EXPECT_EQ(OptionRows->ItemIndex, c.row) << "the highlight stays on the row";
  }
  for (int row : {3, 4, 5}) {
    GoToRow(row);
    const TOptions before = Settings;
    const bool editing = CountryEdit->Editing;
    Key(VK_LEFT);
    Key(VK_RIGHT);
    EXPECT_EQ(ScreenState, ssOptions) << row;
    EXPECT_EQ(CountryEdit->Editing, editing) << row;
    EXPECT_EQ(Settings.Windowed, before.Windowed);
    EXPECT_EQ(Settings.Music, before.Music);
    EXPECT_EQ(Settings.Sound, before.Sound);
  }
}

TEST_F(OptionsPageTest, CountryBoxTakesLettersAndBackspace) {
  GoToRow(3);
  Key(VK_RETURN);
  EXPECT_TRUE(CountryEdit->Editing);
  // Digits do not type; letters do, and the box keeps them normalised.
  for (int32_t key : {'F', 'R', '1', 'A'}) Key(key);
  Key(VK_BACK);
  Key('I');
  Frame();
  EXPECT_EQ(CountryEdit->Text(), "Fri");
  Key(VK_RETURN);
  EXPECT_FALSE(CountryEdit->Editing);
}

TEST_F(OptionsPageTest, BossKeyCaptureRefusesKeysWithoutAName) {
  GoToRow(4);
  Key(VK_RETURN);
  ASSERT_EQ(ScreenState, ssBossKeyCapture);
  Frame();
  EXPECT_TRUE(TextAt(Back(), 384, 488, 18, 14, "...", 0x00FF00));
  const int32_t refused[] = {'0', 96, 105, 0x90};
  for (int32_t key : refused) {
    Key(key);
    EXPECT_EQ(ScreenState, ssBossKeyCapture) << key;
    EXPECT_EQ(Settings.BossKey, 123);
  }
  Key(116);  // F5
  EXPECT_EQ(ScreenState, ssOptions);
  EXPECT_EQ(Settings.BossKey, 116);
  Frame();
  EXPECT_TRUE(TextAt(Back(), 364, 488, 18, 14, "F5", 0x00FF00));
}

TEST_F(OptionsPageTest, EscBecomesTheBossKeyWhenChosen) {
  GoToRow(4);
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  EXPECT_EQ(ScreenState, ssOptions);
  EXPECT_EQ(Settings.BossKey, VK_ESCAPE);
  Key(VK_ESCAPE);
  EXPECT_EQ(ScreenState, ssOptions) << "Esc now hides the program instead of going back";
  EXPECT_EQ(fake.display.minimizeCount, 1);
}

TEST_F(OptionsPageTest, EscGoesBackWithTheBackRowHighlighted) {
  GoToRow(1);
  Key(VK_ESCAPE);
  EXPECT_EQ(ScreenState, ssMainMenu);
  EXPECT_EQ(OptionRows->ItemIndex, 5);
}

TEST_F(OptionsPageTest, RowsFollowTheMouseOnlyAfterItMoved) {
  PointAt(layout::kOptionRows[2]);
  EXPECT_EQ(OptionRows->ItemIndex, 2);
  Key(VK_UP);
  Frame(3);
  EXPECT_EQ(OptionRows->ItemIndex, 1) << "a resting pointer does not undo the key";
  Click(1, 1);
  EXPECT_EQ(ScreenState, ssOptions) << "a press beside the rows does nothing";
  EXPECT_EQ(OptionRows->ItemIndex, 1);
  ClickOn(layout::kOptionRows[5]);
  EXPECT_EQ(ScreenState, ssMainMenu);
}

TEST_F(OptionsPageTest, ClickOnTheDisplayRowSwitchesMode) {
  ClickOn(layout::kOptionRows[0]);
  EXPECT_FALSE(Settings.Windowed);
  EXPECT_EQ(ScreenState, ssOptions);
}
