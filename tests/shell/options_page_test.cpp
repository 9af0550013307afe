// The options page: rows by keys and mouse, the toggles, the country box and the boss key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/menu_harness.h"
#include "graphics/draw.h"
#include "graphics/images.h"
#include "graphics/widget_layout.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/key_name.h"
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

namespace {

// The option values are drawn in the entry face, as the typed country is.
constexpr gfx::Face kValueFace = gfx::Face::Entry;

}  // namespace

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
  EXPECT_TRUE(TextAt(Back(), 310, 238, 18, 10, "FullScreen", 0x00FF00, kValueFace));
  EXPECT_FALSE(TextAt(Back(), 320, 238, 18, 14, "Window", 0x00FF00, kValueFace));
  Key(VK_SPACE);
  EXPECT_TRUE(Settings.Windowed);
  Frame();
  EXPECT_TRUE(TextAt(Back(), 320, 238, 18, 14, "Window", 0x00FF00, kValueFace));
  EXPECT_FALSE(TextAt(Back(), 321, 238, 18, 14, "Window", 0x00FF00, kValueFace));
  EXPECT_FALSE(TextAt(Back(), 310, 238, 18, 10, "FullScreen", 0x00FF00, kValueFace));
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
    EXPECT_TRUE(TextAt(Back(), 344, c.y, 18, 10, "Off", 0x00FF00, kValueFace));
    Key(VK_RETURN);
    EXPECT_TRUE(*c.option);
    Frame();
    EXPECT_TRUE(TextAt(Back(), 344, c.y, 18, 14, "On", 0x00FF00, kValueFace));
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
  EXPECT_TRUE(TextAt(Back(), 384, 488, 18, 14, "...", 0x00FF00, kValueFace));
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
  EXPECT_TRUE(TextAt(Back(), 364, 488, 18, 14, "F5", 0x00FF00, kValueFace));
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

namespace {

// Where a value's box lies on the page: its normal-look picture, drawn at (x, y).
struct ValueBox {
  const char* row;
  int slot;
  int32_t x, y;
  gfx::Rect rowRect;
};

const ValueBox kValueBoxes[] = {
    {"Display", 17, 300, 230, layout::kOptionRows[0]},
    {"Music", 18, 327, 292, layout::kOptionRows[1]},
    {"Sound", 18, 327, 352, layout::kOptionRows[2]},
    {"Your country", 8, 309, 413, layout::kOptionRows[3]},
    {"Boss key", 9, 309, 477, layout::kOptionRows[4]},
};

// A pixel of green text: green well above red and blue. Nothing in the page's art (dark blue
// boxes, violet clouds, white stars, the blue planet, the yellow galaxy) comes close; the
// antialiased fringe of the letters below about a third of full cover does not count.
bool IsTextPixel(uint32_t rgb) {
  const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return g >= 0x60 && g - r >= 0x50 && g - b >= 0x50;
}

// The part of a box that text may use: inside the picture's edge line and the highlight's frame
// drawn on it (2 px), with two clear pixels between the letters and the frame.
constexpr int32_t kFrameAndGap = 4;

// Text pixels around the row (its rectangle widened by 10 px; the row labels stand further
// left) that lie outside the box's free inside; each as "(x, y)".
std::vector<std::string> TextOutsideBox(const gfx::TSurface& frame, const ValueBox& box) {
  const gfx::TSurface& picture = *gfx::ScreenImages[box.slot];
  const gfx::Rect inside{box.x + kFrameAndGap, box.y + kFrameAndGap,
                         box.x + picture.Width() - kFrameAndGap,
                         box.y + picture.Height() - kFrameAndGap};
  constexpr int32_t kAround = 10;
  std::vector<std::string> outside;
  for (int32_t y = box.rowRect.top - kAround; y < box.rowRect.bottom + kAround; ++y) {
    for (int32_t x = box.rowRect.left - kAround; x < box.rowRect.right + kAround; ++x) {
      if (!IsTextPixel(frame.GetPixel(x, y))) continue;
      if (x >= inside.left && x < inside.right && y >= inside.top && y < inside.bottom) continue;
      outside.push_back("(" + std::to_string(x) + ", " + std::to_string(y) + ")");
    }
  }
  return outside;
}

// WCAG relative luminance of an sRGB colour.
double Luminance(uint32_t rgb) {
  const auto channel = [](uint32_t c) {
    const double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel((rgb >> 16) & 0xFF) + 0.7152 * channel((rgb >> 8) & 0xFF) +
         0.0722 * channel(rgb & 0xFF);
}

double ContrastRatio(double lighter, double darker) { return (lighter + 0.05) / (darker + 0.05); }

}  // namespace

// Every value the page can show, with the country box holding what a player can type, stays
// inside its box with clear pixels to the frame: not through the highlight, not on the lower
// edge, no descender hanging out.
TEST_F(OptionsPageTest, ValuesStayInsideTheirBoxes) {
  ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(STARMOAT_GAME_DIR) / "Data" / "Data.pp"))
      << "the page is checked with the game's own pictures";
  ASSERT_EQ(OptionRows->ItemIndex, 5) << "no value row highlighted: its frame is green too";
  const auto check = [&](const std::string& what) {
    Frame();
    for (const ValueBox& box : kValueBoxes) {
      const std::vector<std::string> outside = TextOutsideBox(Back(), box);
      EXPECT_TRUE(outside.empty()) << what << ": " << outside.size() << " text pixels of the "
                                   << box.row << " row outside its box, first "
                                   << (outside.empty() ? "" : outside.front());
    }
  };

  // Both display modes and both switch values (Music and Sound share the box picture).
  for (const bool on : {true, false}) {
    Settings.Windowed = on;
    Settings.Music = on;
    Settings.Sound = !on;
    check(on ? "Window, music on, sound off" : "FullScreen, music off, sound on");
  }
  // Every boss key name (descenders in "PgDn", "Q", ";"; the widest five-letter words).
  std::vector<std::string> seen;
  for (int32_t code = 0; code < 256; ++code) {
    const std::string name = KeyName(code);
    if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
    seen.push_back(name);
    Settings.BossKey = code;
    check("boss key " + name);
  }
  // The country as typed: the box takes what fits.
  for (const char* typed : {"GERMANY", "JYPGQJYPGQ", "WWWWWWWWWW", "MMMMMMMMMM"}) {
    while (!CountryEdit->Text().empty()) CountryEdit->InputChar('~');
    for (const char* c = typed; *c; ++c) CountryEdit->InputChar(*c);
    check(std::string("country ") + typed);
  }
}

// The row labels stand on the page's background (no box behind them): it must be dark enough
// under each of them for the green to read well, at least the 7:1 that WCAG asks of small text
// (AAA) between the label colour and the mean of the background under the label.
TEST_F(OptionsPageTest, RowLabelsStandOnADarkBackground) {
  ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(STARMOAT_GAME_DIR) / "Data" / "Data.pp"))
      << "the page is checked with the game's own pictures";
  const gfx::TSurface& background = *gfx::ScreenImages[0];
  struct Label {
    const char* text;
    int32_t y;
  };
  for (const Label& label : {Label{"Display", 238}, Label{"Music", 299}, Label{"Sound", 359},
                             Label{"Your country", 425}, Label{"Boss key", 485}}) {
    const int32_t width = gfx::TextWidth(gfx::Face::Display, 18, 12, label.text);
    ASSERT_GT(width, 0);
    double sum = 0;
    for (int32_t y = label.y; y < label.y + 18; ++y) {
      for (int32_t x = 120; x < 120 + width; ++x) sum += Luminance(background.GetPixel(x, y));
    }
    const double mean = sum / (18.0 * width);
    EXPECT_GE(ContrastRatio(Luminance(0x00FF00), mean), 7.0) << label.text;
  }
}
