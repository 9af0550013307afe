// The fast ways of drawing a frame — keyed copies by runs, the memset clear, composing in the
// window's own pixels, not presenting a still page again — against the plain ones: the same
// walk through the program (menus, a seeded game with fire held, pause, dialogs, a switch to
// full screen and back, a lost window picture) must leave the same picture in the window after
// every step.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/menu_harness.h"
#include "game/my_ship.h"
#include "graphics/surface.h"
#include "graphics/widget_layout.h"
#include "graphics/widgets.h"
#include "shell/form.h"
#include "shell/screen_state.h"

namespace {

using namespace platform;

struct Shown {
  std::string step;
  int32_t state;
  size_t picture;  // hash of the presented picture
};

class FramePathsTest : public MenuHarness {
 protected:
  void TearDown() override {
    gfx::UsePlainCopies(false);
    MenuHarness::TearDown();
  }

  void Record(const std::string& step) {
    const std::string_view bytes(reinterpret_cast<const char*>(fake.display.lastFrame.data()),
                                 fake.display.lastFrame.size() * sizeof(uint32_t));
    shown_.push_back({step, ScreenState, std::hash<std::string_view>{}(bytes)});
  }
  // n frames, the window's picture noted after each.
  void Frames(const std::string& step, int n) {
    for (int i = 0; i < n; ++i) {
      Frame();
      Record(step + " #" + std::to_string(i));
    }
  }
  void ChooseMainMenuItem(int item) {
    while (MainMenuButtons->ItemIndex != item) Key(VK_DOWN);
    Key(VK_RETURN);
  }

  // The whole walk; `plain`: reference copies, every frame composed in our own surface and
  // presented.
  std::vector<Shown> Walk(bool plain) {
    shown_.clear();
    gfx::UsePlainCopies(plain);
    Form1->FSkipUnchangedFrames = !plain;
    fake.display.offerCanvas = !plain;
    fake.display.keepsPicture = !plain;

    Frames("intro", 100);
    Frames("main menu at rest", 5);
    PointAt(layout::kMainMenu[1].rect);
    Record("pointer on options");
    Frames("pointer resting", 3);
    Key(VK_DOWN);
    Frames("highlight moved by key", 3);
    ChooseMainMenuItem(2);
    Frames("high scores", 5);
    ClickOn(layout::kHighScore[0].rect);
    Frames("clear table question", 4);
    Key(VK_ESCAPE);
    Frames("back on high scores", 3);
    Key(VK_ESCAPE);
    Frames("main menu again", 3);
    fake.display.LosePicture();  // an expose
    Frames("after expose", 2);
    ChooseMainMenuItem(3);
    Frames("help", 3);
    Key(VK_RIGHT);
    Key(VK_RETURN);
    Frames("bonus page", 25);
    Key(VK_ESCAPE);
    Frames("main menu from help", 2);
    Key(VK_ESCAPE);
    Frames("exit question", 3);
    Key('N');
    Frames("exit refused", 2);
    ChooseMainMenuItem(1);
    Frames("options", 4);
    Key(VK_ESCAPE);
    Frames("options left", 2);

    ChooseMainMenuItem(0);
    fake.input.keys[kDikLeftCtrl] = 0x80;
    fake.input.keys[kDikLeft] = 0x80;
    Frames("playing, fire held", 250);
    fake.input.keys[kDikLeft] = 0;
    Key('P');
    Frames("paused", 5);
    Key('P');
    Frames("playing again", 30);
    Key(VK_RETURN, kAlt);
    Frames("full screen", 20);
    Key(VK_RETURN, kAlt);
    Frames("windowed again", 20);
    Key(VK_ESCAPE);
    Frames("quit game question", 3);
    Key('N');
    Frames("game goes on", 20);
    fake.input.keys[kDikLeftCtrl] = 0;
    Key(VK_ESCAPE);
    Key('Y');
    Frames("game left", 10);
    return shown_;
  }

 private:
  std::vector<Shown> shown_;
};

TEST_F(FramePathsTest, FastPathsShowThePlainPictures) {
  const std::vector<Shown> fast = Walk(false);
  const int presentedFast = fake.display.presentCount;
  TearDown();
  fake = fake::FakePlatform();  // the same clock, hence the same seed, for the second walk
  SetUp();
  const std::vector<Shown> plain = Walk(true);
  ASSERT_EQ(fast.size(), plain.size());
  for (size_t i = 0; i < fast.size(); ++i) {
    SCOPED_TRACE(plain[i].step);
    ASSERT_EQ(fast[i].state, plain[i].state);
    EXPECT_EQ(fast[i].picture, plain[i].picture);
  }
  // The walk went through the screens it names, and still pages were not presented again.
  const auto sawState = [&](int32_t state) {
    for (const Shown& s : plain)
      if (s.state == state) return true;
    return false;
  };
  for (int32_t state : {ssMainMenu, ssHighScores, ssClearScoresConfirm, ssHelpBonuses, ssExitConfirm,
                        ssOptions, ssPlaying, ssPaused, ssQuitGameConfirm}) {
    EXPECT_TRUE(sawState(state)) << state;
  }
  EXPECT_LT(presentedFast, fake.display.presentCount);
}

}  // namespace
