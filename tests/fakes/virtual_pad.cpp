#include "fakes/virtual_pad.h"

#include <gtest/gtest.h>

VirtualPad::VirtualPad() {
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                              SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
  EXPECT_GE(index, 0) << SDL_GetError();
  if (index < 0) return;
  joystick_ = SDL_JoystickOpen(index);
  EXPECT_NE(joystick_, nullptr) << SDL_GetError();
  if (joystick_) id_ = SDL_JoystickInstanceID(joystick_);
  // Resting triggers: the device's axes span the whole range.
  Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 0);
  Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
}

VirtualPad::~VirtualPad() { Unplug(); }

void VirtualPad::Button(SDL_GameControllerButton button, bool down) {
  ASSERT_TRUE(joystick_);
  ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick_, button, down ? SDL_PRESSED : SDL_RELEASED), 0)
      << SDL_GetError();
}

void VirtualPad::Axis(SDL_GameControllerAxis axis, int32_t value) {
  ASSERT_TRUE(joystick_);
  // The standard layout maps a trigger's full device range onto 0..32767.
  const bool trigger = axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
  const int32_t raw = trigger ? value * 2 - 32768 : value;
  ASSERT_EQ(SDL_JoystickSetVirtualAxis(joystick_, axis, static_cast<Sint16>(raw)), 0) << SDL_GetError();
}

void VirtualPad::Unplug() {
  if (!joystick_) return;
  SDL_JoystickClose(joystick_);
  joystick_ = nullptr;
  // The device index may have moved since other pads came and went.
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == id_) {
      EXPECT_EQ(SDL_JoystickDetachVirtual(i), 0) << SDL_GetError();
      return;
    }
  }
  ADD_FAILURE() << "virtual pad " << id_ << " not found";
}
