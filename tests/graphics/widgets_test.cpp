// The menu widgets' own rules: pointer tracking, the text box's limits, normalisation and caret,
// and that a reload of the pictures keeps them.
#include "graphics/widgets.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/menu_harness.h"
#include "graphics/draw.h"
#include "graphics/widget_layout.h"
#include "shell/form.h"
#include "shell/screen_state.h"

using WidgetsTest = MenuHarness;

TEST_F(WidgetsTest, ButtonColumnFollowsThePointerOnlyWhileTheMouseIsActive) {
  SkipIntro();
  MainMenuButtons->SetItemIndex(0);
  PointAt(layout::kMainMenu[3].rect);
  EXPECT_EQ(MainMenuButtons->ItemIndex, 3);
  EXPECT_TRUE(MainMenuButtons->Buttons[3].Selected) << "highlighted from the next frame on";
  EXPECT_FALSE(MainMenuButtons->Buttons[0].Selected);
  Key(platform::VK_DOWN);
  Frame(3);
  EXPECT_EQ(MainMenuButtons->ItemIndex, 4) << "the resting pointer does not undo the key";
  Form1->FMouseActive = -1;
  Frame();
  EXPECT_EQ(MainMenuButtons->ItemIndex, 3);
}

TEST_F(WidgetsTest, PointerOnABorderLineSelectsNothing) {
  SkipIntro();
  MainMenuButtons->SetItemIndex(0);
  const gfx::Rect r = layout::kMainMenu[2].rect;
  const int32_t midY = (r.top + r.bottom) / 2;
  for (auto [x, y] : {std::pair{r.left, midY}, std::pair{r.right, midY}, std::pair{600, r.top},
                      std::pair{600, r.bottom}}) {
    MouseMove(x, y);
    Frame();
    EXPECT_NE(MainMenuButtons->ItemIndex, 2) << x << "," << y;
  }
  MouseMove(r.left + 1, r.top + 1);
  Frame();
  EXPECT_EQ(MainMenuButtons->ItemIndex, 2);
}

TEST_F(WidgetsTest, AnswersFollowThePointerEvenWhileKeysAreUsed) {
  SkipIntro();
  ScreenState = ssExitConfirm;
  PointAt(layout::kNo);
  EXPECT_FALSE(YesNoButtons->FirstSelected);
  Key(platform::VK_LEFT);
  EXPECT_TRUE(YesNoButtons->FirstSelected);
  Frame();
  EXPECT_FALSE(YesNoButtons->FirstSelected) << "the pointer over No wins on every frame";
}

TEST_F(WidgetsTest, TextBoxLimitsAndNormalisation) {
  TDDEdit box;
  box.Rect = layout::kNameBox;
  for (char c : std::string("ABCDEFGHIJK")) box.InputChar(c);
  EXPECT_EQ(box.Text(), "ABCDEFGHIJ");
  EXPECT_EQ(box.Len, 10);
  box.Draw(&Back());
  EXPECT_EQ(box.Text(), "Abcdefghij");
  for (int i = 0; i < 12; ++i) box.InputChar('~');
  EXPECT_EQ(box.Text(), "");
  EXPECT_EQ(box.Len, 0);
  for (char c : std::string("JOHN")) box.InputChar(c);
  box.Draw(&Back());
  EXPECT_EQ(box.Text(), "John");
}

TEST_F(WidgetsTest, TextBoxDropsLettersThatWouldNotFit) {
  TDDEdit box;
  const int32_t threeWs = gfx::TextWidth(gfx::Face::Entry, 32, 20, "WWW");
  // Room for exactly three W: left + width + 5 must stay left of the right edge.
  box.Rect = {100, 100, 100 + threeWs + 6, 140};
  for (int i = 0; i < 5; ++i) box.InputChar('W');
  EXPECT_EQ(box.Text(), "WWW");
  box.Rect.right -= 1;
  box.InputChar('~');
  box.InputChar('W');
  EXPECT_EQ(box.Text(), "WW");
}

TEST_F(WidgetsTest, SetTextPutsTheTypingPositionAtTheEnd) {
  TDDEdit box;
  box.Rect = layout::kOptionRows[3];
  box.SetText("Norway");
  EXPECT_EQ(box.Len, 6);
  box.InputChar('~');
  EXPECT_EQ(box.Text(), "Norwa");
}

namespace {

// True when the caret's column of the box shows the caret colour in its middle row.
bool CaretShown(const gfx::TSurface& frame, const TDDEdit& box) {
  const int32_t x = box.Rect.left + gfx::TextWidth(gfx::Face::Entry, 32, 20, box.Text()) + 15;
  const int32_t y = (box.Rect.top + 12 + box.Rect.bottom - 2) / 2;
  return frame.GetPixel(x - 1, y) == 0x00FF00 && frame.GetPixel(x + 1, y) == 0x00FF00;
}

}  // namespace

TEST_F(WidgetsTest, NameBoxCaretBlinksInPhasesOfAboutThreeHundredMs) {
  SkipIntro();
  ScreenState = ssNameEntry;
  std::vector<bool> phases;
  for (int i = 0; i < 80; ++i) {
    Frame();
    phases.push_back(CaretShown(Back(), *NameEdit));
  }
  // Runs of equal phases last 20 frames (more than 300 ms at 15.6 ms a frame).
  int changes = 0;
  for (size_t i = 1; i < phases.size(); ++i) {
    if (phases[i] != phases[i - 1]) {
      ++changes;
    }
  }
  EXPECT_GE(changes, 3);
  EXPECT_LE(changes, 4);
  EXPECT_TRUE(std::count(phases.begin(), phases.end(), true) >= 30);
}

TEST_F(WidgetsTest, CountryCaretOnlyAfterTheRowWasChosen) {
  SkipIntro();
  ScreenState = ssOptions;
  OptionRows->ItemIndex = 3;
  bool seen = false;
  for (int i = 0; i < 50; ++i) {
    Frame();
    seen = seen || CaretShown(Back(), *CountryEdit);
  }
  EXPECT_FALSE(seen);
  Key(platform::VK_RETURN);
  for (int i = 0; i < 50; ++i) {
    Frame();
    seen = seen || CaretShown(Back(), *CountryEdit);
  }
  EXPECT_TRUE(seen);
}

TEST_F(WidgetsTest, ReloadingThePicturesKeepsSelectionsAndText) {
  SkipIntro();
  MainMenuButtons->SetItemIndex(2);
  NameEdit->InputChar('Q');
  CountryEdit->SetText("Peru");
  TDDEdit* country = CountryEdit;
  Form1->SetDisplayMode(false);
  EXPECT_EQ(MainMenuButtons->ItemIndex, 2);
  EXPECT_EQ(NameEdit->Text(), "Q");
  EXPECT_EQ(CountryEdit, country);
  EXPECT_EQ(CountryEdit->Text(), "Peru");
}

TEST_F(WidgetsTest, WidgetsStartAsLaidOut) {
  EXPECT_EQ(OptionRows->ItemIndex, 5);
  EXPECT_EQ(CountryEdit, &OptionRows->Edit);
  EXPECT_FALSE(CountryEdit->Editing);
  EXPECT_TRUE(NameEdit->Focused);
  EXPECT_TRUE(NameEdit->Editing);
  EXPECT_EQ(YesNoButtons->Caption1, "Yes");
  EXPECT_EQ(OkCancelButtons->Caption2, "Cancel");
  EXPECT_TRUE(YesNoButtons->FirstSelected);
  EXPECT_EQ(HighScoreButtons->Count, 3);
  EXPECT_TRUE(HelpButtons->Buttons[0].Selected);
}
