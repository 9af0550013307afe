// Game pads through SDL's game-controller part, with SDL's virtual joysticks as the pads: they
// are picked up and dropped while the program runs, and their buttons and sticks become the
// program's pad controls.
#include "platform/sdl/sdl_gamepads.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "fakes/virtual_pad.h"

namespace {

using namespace platform;

class SdlGamepadsTest : public testing::Test {
 protected:
  void SetUp() override {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    pads_ = std::make_unique<SdlGamepads>();
  }
  void TearDown() override {
    pads_.reset();
    SDL_Quit();
  }

  std::vector<PadControl> Presses() {
    std::vector<PadControl> out;
    PadControl c;
    while (pads_->PollPress(c)) out.push_back(c);
    return out;
  }

  std::unique_ptr<SdlGamepads> pads_;
};

TEST_F(SdlGamepadsTest, APadPluggedInWhileRunningIsOpenedAndDroppedWhenPulledOut) {
  EXPECT_EQ(pads_->Update(), 0u);
  EXPECT_EQ(pads_->Count(), 0u);
  VirtualPad pad;
  ASSERT_TRUE(pad.Plugged());
  pads_->Update();
  EXPECT_EQ(pads_->Count(), 1u);
  // SDL gave the virtual device a controller mapping of its own.
  EXPECT_TRUE(SDL_IsGameController(0));
  pad.Unplug();
  pads_->Update();
  EXPECT_EQ(pads_->Count(), 0u);
}

TEST_F(SdlGamepadsTest, ButtonsSticksAndTriggerBecomeControls) {
  VirtualPad pad;
  pads_->Update();
  struct Button {
    SDL_GameControllerButton button;
    uint32_t held;
  };
  const Button buttons[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_UP, PadBit(kPadUp)},
      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadBit(kPadDown)},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadBit(kPadLeft)},
      {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadBit(kPadRight)},
      {SDL_CONTROLLER_BUTTON_A, PadBit(kPadSouth)},
      {SDL_CONTROLLER_BUTTON_B, PadBit(kPadEast)},
      {SDL_CONTROLLER_BUTTON_X, PadBit(kPadWest)},
      {SDL_CONTROLLER_BUTTON_START, PadBit(kPadStart)},
      {SDL_CONTROLLER_BUTTON_BACK, PadBit(kPadBack)},
      {SDL_CONTROLLER_BUTTON_Y, 0},
      {SDL_CONTROLLER_BUTTON_GUIDE, 0},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0},
  };
  for (const Button& b : buttons) {
    pad.Button(b.button, true);
    EXPECT_EQ(pads_->Update(), b.held) << SDL_GameControllerGetStringForButton(b.button);
    pad.Button(b.button, false);
    EXPECT_EQ(pads_->Update(), 0u) << SDL_GameControllerGetStringForButton(b.button);
  }

  struct Axis {
    SDL_GameControllerAxis axis;
    int32_t value;
    uint32_t held;
  };
  const Axis axes[] = {
      // The left stick counts past a quarter of its travel, and not before.
      {SDL_CONTROLLER_AXIS_LEFTX, -32768, PadBit(kPadLeft)},
      {SDL_CONTROLLER_AXIS_LEFTX, -8193, PadBit(kPadLeft)},
      {SDL_CONTROLLER_AXIS_LEFTX, -8192, 0},
      {SDL_CONTROLLER_AXIS_LEFTX, -5000, 0},
      {SDL_CONTROLLER_AXIS_LEFTX, 8192, 0},
      {SDL_CONTROLLER_AXIS_LEFTX, 8193, PadBit(kPadRight)},
      {SDL_CONTROLLER_AXIS_LEFTX, 32767, PadBit(kPadRight)},
      {SDL_CONTROLLER_AXIS_LEFTY, -20000, PadBit(kPadUp)},
      {SDL_CONTROLLER_AXIS_LEFTY, 3000, 0},
      {SDL_CONTROLLER_AXIS_LEFTY, 20000, PadBit(kPadDown)},
      // The right stick and the left trigger have no use.
      {SDL_CONTROLLER_AXIS_RIGHTX, -32768, 0},
      {SDL_CONTROLLER_AXIS_RIGHTY, 32767, 0},
      {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767, 0},
      {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, PadBit(kPadRightTrigger)},
      {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 4000, 0},
  };
  for (const Axis& a : axes) {
    pad.Axis(a.axis, a.value);
    EXPECT_EQ(pads_->Update(), a.held) << SDL_GameControllerGetStringForAxis(a.axis) << " " << a.value;
    pad.Axis(a.axis, 0);
    EXPECT_EQ(pads_->Update(), 0u);
  }

  // A stick pushed into a corner holds two directions.
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -20000);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -20000);
  EXPECT_EQ(pads_->Update(), PadBit(kPadLeft) | PadBit(kPadUp));
}

TEST_F(SdlGamepadsTest, APressIsReportedOnceWhenTheControlGoesDown) {
  VirtualPad pad;
  pads_->Update();
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  pads_->Update();
  EXPECT_EQ(Presses(), std::vector<PadControl>{kPadSouth});
  pads_->Update();  // still held: no new press
  EXPECT_TRUE(Presses().empty());
  pad.Button(SDL_CONTROLLER_BUTTON_A, false);
  pads_->Update();
  EXPECT_TRUE(Presses().empty());
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 30000);
  pads_->Update();
  EXPECT_EQ(Presses(), (std::vector<PadControl>{kPadDown, kPadSouth}));
  // The stick moved on within the same direction: still the same push.
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 12000);
  pads_->Update();
  EXPECT_TRUE(Presses().empty());
}

TEST_F(SdlGamepadsTest, WhatAPadHoldsWhenPickedUpIsNoPress) {
  pads_->Update();
  VirtualPad pad;
  pad.Button(SDL_CONTROLLER_BUTTON_START, true);
  SDL_JoystickUpdate();  // the device state changes before the program looks at it
  EXPECT_EQ(pads_->Update(), PadBit(kPadStart));
  EXPECT_TRUE(Presses().empty());
}

TEST_F(SdlGamepadsTest, EveryPadControlsAndAPadPulledOutReleasesWhatItHeld) {
  VirtualPad first;
  VirtualPad second;
  pads_->Update();
  EXPECT_EQ(pads_->Count(), 2u);
  first.Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
  first.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
  second.Button(SDL_CONTROLLER_BUTTON_X, true);
  EXPECT_EQ(pads_->Update(), PadBit(kPadLeft) | PadBit(kPadRightTrigger) | PadBit(kPadWest));
  EXPECT_EQ(Presses(), (std::vector<PadControl>{kPadLeft, kPadRightTrigger, kPadWest}));
  // Both pads pressing the same button are two presses.
  first.Button(SDL_CONTROLLER_BUTTON_B, true);
  second.Button(SDL_CONTROLLER_BUTTON_B, true);
  pads_->Update();
  EXPECT_EQ(Presses(), (std::vector<PadControl>{kPadEast, kPadEast}));
  first.Unplug();
  EXPECT_EQ(pads_->Update(), PadBit(kPadWest) | PadBit(kPadEast));
  EXPECT_EQ(pads_->Count(), 1u);
  second.Unplug();
  EXPECT_EQ(pads_->Update(), 0u);
  EXPECT_EQ(pads_->Count(), 0u);
}

}  // namespace
