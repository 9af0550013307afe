#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <fstream>
#include <vector>

#include "fakes/program_harness.h"
#include "game/game.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/program.h"
#include "shell/screen_state.h"

namespace fs = std::filesystem;

using FormTest = ProgramHarness;

TEST_F(FormTest, FrameGateDrawsOnlyAfterMoreThanFiveMsButAlwaysRefreshesKeys) {
  struct Case {
    uint32_t lastFrameEnd, now;
    bool drawn;
  };
  const Case cases[] = {
      {1000, 1005, false},
      {1000, 1006, true},
      {1000, 1000, false},
      // The unsigned difference survives the wrap-around of the tick counter.
      {0xFFFFFFFEu, 3, false},
      {0xFFFFFFFEu, 4, true},
      {0xFFFFFFF0u, 0x10, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lastFrameEnd << " -> " << c.now);
    Form1->FLastFrameEnd = c.lastFrameEnd;
    fake.clock.SetTick(c.now);
    fake.input.keys[0x39] = 0x80;
    const int before = fake.display.presentCount;
    Form1->RenderFrame();
    EXPECT_EQ(fake.display.presentCount - before, c.drawn ? 1 : 0);
    EXPECT_EQ(KeyState[0x39], 0x80);
    fake.input.keys[0x39] = 0;
    Form1->RenderFrame();
    EXPECT_EQ(KeyState[0x39], 0) << "the keyboard is read on every idle call";
  }
}

TEST_F(FormTest, FramesFollowTheSixtyFourHertzTick) {
  const int before = fake.display.presentCount;
  Frame(64);
  EXPECT_EQ(fake.display.presentCount - before, 64);
}

TEST_F(FormTest, CloseQueryByScreen) {
  struct Case {
    int32_t state;
    bool refused;
  };
  const Case cases[] = {
      {ssIntro, true},        {ssPlaying, true},      {ssPaused, true},
      {ssNameEntry, true},    {ssSubmitQuestion, true}, {ssMainMenu, false},
      {ssOptions, false},     {ssHighScores, false},  {ssHelpAbout, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    ScreenState = c.state;
    MayClose = false;
    EXPECT_FALSE(Form1->Close());
    EXPECT_EQ(ScreenState, c.refused ? c.state : ssExitConfirm);
  }
  // Once the player said Yes, the next close goes through.
  ScreenState = ssExitConfirm;
  MayClose = true;
  EXPECT_TRUE(Form1->Close());
}

TEST_F(FormTest, RestoreDuringAGameFreezesThePictureAndPauses) {
  ScreenState = ssPlaying;
  Game = std::make_unique<TGame>();
  Frame();
  const platform::Rect saved = fake.display.window;
  Send(platform::WindowEvent::FocusLost);
  EXPECT_EQ(Form1->FReady, 0);
  Send(platform::WindowEvent::Minimized);
  fake.display.MoveWindow(-32000, -32000);
  fake.clock.NextTick();
  Send(platform::WindowEvent::Restored);

  EXPECT_EQ(ScreenState, ssPaused);
  EXPECT_EQ(fake.display.window.left, saved.left);
  EXPECT_EQ(fake.display.window.top, saved.top);
  EXPECT_EQ(Form1->FReady, -1);
  // Odd rows keep the game picture; the shading lies on the even rows only.
  const gfx::TSurface& snap = *Form1->FSnapshot;
  const gfx::TSurface& back = *Form1->FBackBuffer;
  for (int y = 1; y < 600; y += 2) {
    ASSERT_EQ(0, std::memcmp(snap.Row(y), back.Row(y), 800 * 4)) << "row " << y;
  }
}

TEST_F(FormTest, RestoreFreezesAFreshFrameEvenWhenTheClockHasNotMoved) {
  // The restore draws a frame of its own to freeze; the 5 ms gate must not swallow it.
  for (bool windowed : {true, false}) {
    SCOPED_TRACE(windowed);
    Form1->SetDisplayMode(windowed);
    ScreenState = ssPlaying;
    Game = std::make_unique<TGame>();
    Frame();
    Send(platform::WindowEvent::FocusLost);
    Send(platform::WindowEvent::Minimized);
    const int presented = fake.display.presentCount;
    Send(platform::WindowEvent::Restored);
    EXPECT_EQ(ScreenState, ssPaused);
    EXPECT_EQ(fake.display.presentCount, presented + 1);
    const gfx::TSurface& snap = *Form1->FSnapshot;
    const std::vector<uint32_t>& shown = fake.display.lastFrame;
    bool drawn = false;
    for (int y = 1; y < 600; y += 2) {
      ASSERT_EQ(0, std::memcmp(snap.Row(y), &shown[y * 800], 800 * 4)) << "row " << y;
      for (int x = 0; x < 800 && !drawn; ++x) drawn = shown[y * 800 + x] != 0;
    }
    EXPECT_TRUE(drawn) << "the frozen picture is black";
    Send(platform::WindowEvent::FocusGained);
  }
}

TEST_F(FormTest, ModeSwitchKeepsTheFrozenPictureBehindPanels) {
  ScreenState = ssPlaying;
  Game = std::make_unique<TGame>();
  Frame(2);
  Key('P');
  ASSERT_EQ(ScreenState, ssPaused);
  for (int32_t state : {ssPaused, ssNameEntry, ssClearScoresConfirm}) {
    SCOPED_TRACE(state);
    ScreenState = state;
    Frame();
    const std::vector<uint32_t> snapshot(Form1->FSnapshot->Pixels(),
                                         Form1->FSnapshot->Pixels() + 800 * 600);
    const std::vector<uint32_t> before = fake.display.lastFrame;
    Key(platform::VK_RETURN, platform::kAlt);
    ASSERT_EQ(Settings.Windowed, fake.display.windowed);
    Frame();
    const gfx::TSurface& now = *Form1->FSnapshot;
    EXPECT_EQ(0, std::memcmp(now.Pixels(), snapshot.data(), snapshot.size() * 4));
    if (state == ssPaused) {
      EXPECT_EQ(fake.display.lastFrame, before);
    }
  }
}

TEST_F(FormTest, FullScreenRestoreRebuildsTheDisplayAndFirstFocusLossDoesNotMinimise) {
  Form1->SetDisplayMode(false);
  EXPECT_FALSE(fake.display.windowed);
  Send(platform::WindowEvent::FocusLost);
  EXPECT_EQ(fake.display.minimizeCount, 0);
  Send(platform::WindowEvent::FocusGained);
  Send(platform::WindowEvent::FocusLost);
  EXPECT_EQ(fake.display.minimizeCount, 1);
  const int modes = fake.display.setModeCount;
  Send(platform::WindowEvent::Minimized);
  Send(platform::WindowEvent::Restored);
  EXPECT_EQ(fake.display.setModeCount, modes + 1);
}

TEST_F(FormTest, MaximiseAndTitleDoubleClickSwitchToFullScreen) {
  for (auto kind : {platform::WindowEvent::MaximizeRequested, platform::WindowEvent::TitleDoubleClick}) {
    Form1->SetDisplayMode(true);
    Send(kind);
    EXPECT_FALSE(Settings.Windowed);
    EXPECT_FALSE(fake.display.windowed);
  }
}

TEST_F(FormTest, FullScreenLeftBySystemMakesTheGameWindowedOnce) {
  Form1->SetDisplayMode(false);
  Send(platform::WindowEvent::FullScreenLeft);
  EXPECT_TRUE(Settings.Windowed);
  EXPECT_TRUE(fake.display.windowed);
  // Already windowed (the program left full screen itself): the display is not set up again.
  const int modes = fake.display.setModeCount;
  Send(platform::WindowEvent::FullScreenLeft);
  EXPECT_TRUE(Settings.Windowed);
  EXPECT_EQ(fake.display.setModeCount, modes);
}

// The whole program on the fake platform, from creation to the companion files.
class ProgramTest : public ProgramHarness {
 protected:
  void SetUp() override {
    ProgramHarness::SetUp();
    Form1->FormDestroy();
    delete Form1;
    Form1 = nullptr;
    ScreenState = ssMainMenu;
    MayClose = true;
    std::ofstream("zarnel.exe") << "x";
    std::ofstream("Kelvo.url") << "x";
  }
};

TEST_F(ProgramTest, ConfirmedCloseOpensTheCompanionFilesInOrder) {
  fake.events.Push(Event(platform::WindowEvent::CloseRequested));
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_EQ(fake.shell.opened, (std::vector<std::string>{"zarnel.exe", "Kelvo.url"}));
  EXPECT_EQ(Form1, nullptr);
}

TEST_F(ProgramTest, MissingCompanionFilesAreSkipped) {
  fs::remove("zarnel.exe");
  fake.events.Push(Event(platform::WindowEvent::CloseRequested));
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_EQ(fake.shell.opened, (std::vector<std::string>{"Kelvo.url"}));
}

TEST_F(ProgramTest, QuitSignalEndsWithoutOpeningAnything) {
  fake.events.Push(Event(platform::WindowEvent::Quit));
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_TRUE(fake.shell.opened.empty());
}

TEST_F(ProgramTest, MissingPackEndsTheProgramWithAMessageNamingTheFile) {
  fs::remove_all("Data");
  testing::internal::CaptureStderr();
  EXPECT_NE(RunProgram(), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Data.pp"), std::string::npos) << err;
  ASSERT_EQ(fake.display.errors.size(), 1u);
  EXPECT_NE(fake.display.errors[0].find("Data.pp"), std::string::npos);
  EXPECT_TRUE(fake.shell.opened.empty());
}
