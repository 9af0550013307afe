// The whole program driven by game pads: SDL's controller part with virtual pads plugged into
// it, on the fake platform otherwise. Menus take pad presses as keys, the game takes what the
// pads hold as keys, and a pad pulled out lets go of everything.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "fakes/menu_harness.h"
#include "fakes/virtual_pad.h"
#include "game/game.h"
#include "game/my_ship.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "persistence/hiscores.h"
#include "platform/sdl/sdl_gamepads.h"
#include "shell/form.h"
#include "shell/pad_input.h"
#include "shell/screen_state.h"

namespace {

constexpr auto kA = SDL_CONTROLLER_BUTTON_A;
constexpr auto kB = SDL_CONTROLLER_BUTTON_B;
constexpr auto kX = SDL_CONTROLLER_BUTTON_X;
constexpr auto kStart = SDL_CONTROLLER_BUTTON_START;
constexpr auto kBack = SDL_CONTROLLER_BUTTON_BACK;
constexpr auto kDown = SDL_CONTROLLER_BUTTON_DPAD_DOWN;
constexpr auto kLeft = SDL_CONTROLLER_BUTTON_DPAD_LEFT;
constexpr auto kRight = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;

class GamepadTest : public MenuHarness {
 protected:
  void SetUp() override {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    pads_ = std::make_unique<platform::SdlGamepads>();
    fake.gamepads = pads_.get();
    MenuHarness::SetUp();
  }
  void TearDown() override {
    MenuHarness::TearDown();
    pad.reset();
    pads_.reset();
    SDL_Quit();
  }

  // Plugs a pad in while the program runs; the next frame picks it up.
  void PlugIn() {
    pad = std::make_unique<VirtualPad>();
    Frame();
    ASSERT_EQ(pads_->Count(), 1u);
  }
  // Down for one frame, up for the next.
  void Press(SDL_GameControllerButton button) {
    pad->Button(button, true);
    Frame();
    pad->Button(button, false);
    Frame();
  }
  // The intro runs out by itself (no mouse, no keys) and leaves the last item highlighted.
  void WaitOutIntro() {
    for (int i = 0; i < 200 && ScreenState == ssIntro; ++i) Frame();
    ASSERT_EQ(ScreenState, ssMainMenu);
    ASSERT_EQ(MainMenuButtons->ItemIndex, 5);
  }
  // From the main menu into a game that has left its stage intro.
  void StartGameByPad() {
    PlugIn();
    WaitOutIntro();
    Press(kDown);
    Press(kA);
    ASSERT_EQ(ScreenState, ssPlaying);
    for (int i = 0; i < 400 && Game->Status != gsPlaying; ++i) Frame();
    ASSERT_EQ(Game->Status, gsPlaying);
    ship = Game->Ship.get();
  }

  std::unique_ptr<platform::SdlGamepads> pads_;
  std::unique_ptr<VirtualPad> pad;
  TMyShip* ship = nullptr;
};

TEST_F(GamepadTest, APadPluggedInWhileRunningStartsAGameWithDownAndA) {
  Frame(10);
  EXPECT_EQ(pads_->Count(), 0u);
  PlugIn();
  Press(kA);
  Press(kStart);
  EXPECT_EQ(ScreenState, ssIntro) << "the intro takes no keys";
  WaitOutIntro();
  Press(kDown);
  EXPECT_EQ(MainMenuButtons->ItemIndex, 0) << "one step per push, wrapping to the first item";
  EXPECT_EQ(ScreenState, ssMainMenu);
  Press(kA);
  EXPECT_EQ(ScreenState, ssPlaying);
  ASSERT_NE(Game, nullptr);
}

TEST_F(GamepadTest, AHeldDirectionRepeatsLikeAHeldKey) {
  SkipIntro();
  PlugIn();
  pad->Button(kDown, true);
  std::vector<uint32_t> steps;  // ms after the push at which the highlight moved
  int item = MainMenuButtons->ItemIndex;
  uint32_t pushed = 0;
  for (int i = 0; i < 60; ++i) {
    Frame();
    if (i == 0) pushed = fake.clock.now;
    if (MainMenuButtons->ItemIndex != item) {
      EXPECT_EQ(MainMenuButtons->ItemIndex, (item + 1) % 6);
      item = MainMenuButtons->ItemIndex;
      steps.push_back(fake.clock.now - pushed);
    }
  }
  ASSERT_GE(steps.size(), 4u);
  EXPECT_EQ(steps[0], 0u) << "the push itself";
  // The first repeat on the first frame after the delay, then one per interval.
  EXPECT_GE(steps[1], kPadRepeatDelayMs);
  EXPECT_LT(steps[1], kPadRepeatDelayMs + 16);
  for (size_t i = 2; i < steps.size(); ++i) {
    EXPECT_GE(steps[i] - steps[i - 1], kPadRepeatIntervalMs);
    EXPECT_LT(steps[i] - steps[i - 1], kPadRepeatIntervalMs + 16);
  }
  // Let go: no more steps.
  pad->Button(kDown, false);
  Frame();
  const int stopped = MainMenuButtons->ItemIndex;
  Frame(40);
  EXPECT_EQ(MainMenuButtons->ItemIndex, stopped);
}

TEST_F(GamepadTest, EastActsLikeEscOnEveryDialogAndPage) {
  SkipIntro();
  Game = std::make_unique<TGame>();
  Game->Status = gsPlaying;
  PlugIn();
  const struct {
    int32_t on, back;
  } cases[] = {
      {ssMainMenu, ssExitConfirm},        {ssExitConfirm, ssMainMenu},
      {ssOptions, ssMainMenu},            {ssHighScores, ssMainMenu},
      {ssClearScoresConfirm, ssHighScores}, {ssHelpOverview, ssMainMenu},
      {ssHelpControls, ssMainMenu},       {ssSubmitQuestion, ssMainMenu},
      {ssConnectFailed, ssMainMenu},      {ssQuitGameConfirm, ssPlaying},
      {ssNameEntry, ssMainMenu},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.on);
    ScreenState = c.on;
    pad->Button(kB, true);
    Send(ProgramHarness::Event(platform::WindowEvent::Moved));  // a turn of the loop, no frame
    pad->Button(kB, false);
    Send(ProgramHarness::Event(platform::WindowEvent::Moved));
    EXPECT_EQ(ScreenState, c.back);
  }
}

TEST_F(GamepadTest, AAnswersTheHighlightedChoiceAndTheBossKeyStaysWithTheKeyboard) {
  // Enter as the boss key: the pad's Enter must not minimise.
  Settings.BossKey = platform::VK_RETURN;
  SkipIntro();
  PlugIn();
  Press(kB);
  ASSERT_EQ(ScreenState, ssExitConfirm);
  Press(kRight);  // "No"
  Press(kA);
  EXPECT_EQ(ScreenState, ssMainMenu);
  EXPECT_TRUE(Running());
  EXPECT_EQ(fake.display.minimizeCount, 0);

  // The boss-key page waits for the keyboard; East leaves it with the key unchanged.
  ScreenState = ssBossKeyCapture;
  for (auto b : {kA, kStart, kDown, kX, kBack}) Press(b);
  EXPECT_EQ(ScreenState, ssBossKeyCapture);
  Press(kB);
  EXPECT_EQ(ScreenState, ssOptions);
  EXPECT_EQ(Settings.BossKey, platform::VK_RETURN);
  EXPECT_EQ(fake.display.minimizeCount, 0);
}

TEST_F(GamepadTest, OnTheNameEntryAOnOkTakesTheNameAsItStands) {
  SkipIntro();
  PlugIn();
  Game = std::make_unique<TGame>();
  Game->Score = 4321;
  Game->Status = gsGameOver;
  ScreenState = ssNameEntry;
  Frame();
  for (int32_t letter : {'A', 'L'}) Key(letter);
  Press(kLeft);
  Press(kA);
  EXPECT_EQ(ScreenState, ssSubmitQuestion);
  EXPECT_EQ(HiScores[0].Name, "Al");
  EXPECT_EQ(HiScores[0].Score, 4321);
}

TEST_F(GamepadTest, TheStickSteersPastItsDeadZoneOnly) {
  StartGameByPad();
  const int16_t x = ship->X, y = ship->Y;
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 6000);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, -6000);
  Frame(5);
  EXPECT_EQ(ship->X, x) << "inside the dead zone";
  EXPECT_EQ(ship->Y, y);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 20000);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, -20000);
  Frame(6);
  EXPECT_EQ(ship->X, x + 6 * 6);
  EXPECT_EQ(ship->Y, y - 6 * 6);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  Frame();
  const int16_t stopX = ship->X;
  pad->Button(kLeft, true);  // the D-pad steers too
  Frame(3);
  EXPECT_EQ(ship->X, stopX - 3 * 6);
}

TEST_F(GamepadTest, SouthAndTheRightTriggerFireWestAndEastFireTheSpecial) {
  StartGameByPad();
  Frame(30);
  EXPECT_EQ(ship->Gun.ShotCount, 0) << "nothing held, nothing fired";
  struct Fire {
    SDL_GameControllerButton button;
    bool trigger;
  };
  for (const Fire f : {Fire{kA, false}, Fire{SDL_CONTROLLER_BUTTON_INVALID, true}}) {
    for (auto& shot : ship->Gun.Shots) shot.reset();
    ship->Gun.ShotCount = 0;
    if (f.trigger) {
      pad->Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    } else {
      pad->Button(f.button, true);
    }
    Frame(30);  // longer than the basic gun's 400 ms between shots
    EXPECT_GT(ship->Gun.ShotCount, 0) << (f.trigger ? "trigger" : "A");
    pad->Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
    pad->Button(kA, false);
    Frame();
  }
  for (auto b : {kX, kB}) {
    ship->HasBomb = true;
    ship->Charge = kFullCharge;
    Frame();
    EXPECT_TRUE(ship->HasBomb) << "not without the button";
    pad->Button(b, true);
    Frame(2);
    EXPECT_FALSE(ship->HasBomb) << SDL_GameControllerGetStringForButton(b);
    EXPECT_EQ(ScreenState, ssPlaying) << "East fires; it does not ask to quit in the game";
    pad->Button(b, false);
    Frame();
  }
}

TEST_F(GamepadTest, StartPausesAndResumesBackAsksToQuit) {
  StartGameByPad();
  Press(kStart);
  EXPECT_EQ(ScreenState, ssPaused);
  Frame(5);
  EXPECT_EQ(ScreenState, ssPaused);
  Press(kStart);
  EXPECT_EQ(ScreenState, ssPlaying);
  Press(kBack);
  EXPECT_EQ(ScreenState, ssQuitGameConfirm);
  Press(kB);
  EXPECT_EQ(ScreenState, ssPlaying);
}

TEST_F(GamepadTest, APadPulledOutMidMoveLetsGoOfEverything) {
  StartGameByPad();
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
  pad->Button(kA, true);
  const int16_t start = ship->X;
  Frame(4);
  ASSERT_EQ(ship->X, start - 4 * 6);
  pad->Unplug();
  Frame();
  EXPECT_EQ(pads_->Count(), 0u);
  EXPECT_EQ(PadHeld, 0u);
  const int16_t x = ship->X;
  for (auto& shot : ship->Gun.Shots) shot.reset();
  ship->Gun.ShotCount = 0;
  Frame(10);
  EXPECT_EQ(ship->X, x) << "no ship stuck flying left";
  EXPECT_EQ(ship->Gun.ShotCount, 0) << "no endless fire";
}

TEST_F(GamepadTest, PadsCountOnlyWhileTheWindowIsActive) {
  StartGameByPad();
  Notify(platform::WindowEvent::FocusLost);
  const int16_t x = ship->X;
  pad->Button(kRight, true);
  Frame(5);
  EXPECT_EQ(ship->X, x);
  Notify(platform::WindowEvent::FocusGained);
  Frame(2);
  EXPECT_GT(ship->X, x);
}

// Pressed while another window has the focus, or while the boss key has the window minimised,
// a pad does nothing: East does not ask "Exit game?", South does not answer it, a held direction
// stops repeating, and a press made meanwhile is not delivered later.
TEST_F(GamepadTest, PressesCountOnlyWhileTheWindowIsActive) {
  using K = platform::WindowEvent::Kind;
  const struct {
    const char* what;
    K away, back;
  } cases[] = {
      {"focus lost", K::FocusLost, K::FocusGained},
      {"minimised", K::Minimized, K::Restored},
  };
  SkipIntro();
  PlugIn();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScreenState = ssMainMenu;
    pad->Button(kDown, true);
    Frame();
    const int held = MainMenuButtons->ItemIndex;
    Notify(c.away);
    Frame(40);  // well past the repeat delay
    EXPECT_EQ(MainMenuButtons->ItemIndex, held) << "no repeat while away";
    pad->Button(kDown, false);
    Frame();

    Press(kB);
    EXPECT_EQ(ScreenState, ssMainMenu);
    ScreenState = ssExitConfirm;
    YesNoButtons->SetFirstSelected(true);
    Press(kA);
    EXPECT_EQ(ScreenState, ssExitConfirm);
    EXPECT_TRUE(Running());

    // Held down while away and still down on return: not a press either.
    pad->Button(kB, true);
    Frame();
    Notify(c.back);
    Frame(2);
    EXPECT_EQ(ScreenState, ssExitConfirm);
    pad->Button(kB, false);
    Frame();

    Press(kB);
    EXPECT_EQ(ScreenState, ssMainMenu) << "back in the window, the pad works again";
  }
  EXPECT_TRUE(Running());
}

}  // namespace
