#include "platform/sdl/sdl_gamepads.h"

#include <SDL.h>

#include <algorithm>

namespace platform {

namespace {

struct ButtonControl {
  SDL_GameControllerButton button;
  PadControl control;
};

constexpr ButtonControl kButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadUp},     {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kPadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadLeft}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadRight},
    {SDL_CONTROLLER_BUTTON_A, kPadSouth},        {SDL_CONTROLLER_BUTTON_B, kPadEast},
    {SDL_CONTROLLER_BUTTON_X, kPadWest},         {SDL_CONTROLLER_BUTTON_START, kPadStart},
    {SDL_CONTROLLER_BUTTON_BACK, kPadBack},
};

}  // namespace

uint32_t PadControlsHeld(SDL_GameController* pad) {
  uint32_t held = 0;
  for (const ButtonControl& b : kButtons) {
    if (SDL_GameControllerGetButton(pad, b.button)) held |= PadBit(b.control);
  }
  const int32_t x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
  const int32_t y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
  if (x < -kPadAxisThreshold) held |= PadBit(kPadLeft);
  if (x > kPadAxisThreshold) held |= PadBit(kPadRight);
  // The stick's y grows downwards.
  if (y < -kPadAxisThreshold) held |= PadBit(kPadUp);
  if (y > kPadAxisThreshold) held |= PadBit(kPadDown);
  if (SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) > kPadAxisThreshold) {
    held |= PadBit(kPadRightTrigger);
  }
  return held;
}

SdlGamepads::SdlGamepads() {
  // Positions, not labels: a Nintendo pad's A sits where an Xbox pad's B does.
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  // The frame loop updates the pads itself (see the header).
  SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
  SDL_JoystickEventState(SDL_IGNORE);
  SDL_GameControllerEventState(SDL_IGNORE);
  ok_ = true;
}

SdlGamepads::~SdlGamepads() {
  for (const Pad& pad : pads_) SDL_GameControllerClose(pad.controller);
  if (ok_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

uint32_t SdlGamepads::Update() {
  if (!ok_) return 0;
  // Reads the devices and notices pads plugged in or pulled out.
  SDL_GameControllerUpdate();
  DropDetached();
  OpenNew();
  uint32_t all = 0;
  for (Pad& pad : pads_) {
    const uint32_t held = PadControlsHeld(pad.controller);
    const uint32_t pressed = held & ~pad.held;
    for (uint8_t c = 0; c < kPadControlCount; ++c) {
      if (pressed & PadBit(static_cast<PadControl>(c))) presses_.push_back(static_cast<PadControl>(c));
    }
    pad.held = held;
    all |= held;
  }
  return all;
}

bool SdlGamepads::PollPress(PadControl& control) {
  if (presses_.empty()) return false;
  control = presses_.front();
  presses_.pop_front();
  return true;
}

void SdlGamepads::DropDetached() {
  // A pad that is gone takes what it held with it.
  std::erase_if(pads_, [](const Pad& pad) {
    if (SDL_GameControllerGetAttached(pad.controller)) return false;
    SDL_GameControllerClose(pad.controller);
    return true;
  });
}

void SdlGamepads::OpenNew() {
  // The device list must not change between the index-based calls below.
  SDL_LockJoysticks();
  const int count = SDL_NumJoysticks();
  for (int index = 0; index < count; ++index) {
    if (!SDL_IsGameController(index) || IsOpen(SDL_JoystickGetDeviceInstanceID(index))) continue;
    SDL_GameController* controller = SDL_GameControllerOpen(index);
    if (!controller) continue;
    SDL_Joystick* joystick = SDL_GameControllerGetJoystick(controller);
    // What it holds already is its state, not a press.
    pads_.push_back({controller, SDL_JoystickInstanceID(joystick), PadControlsHeld(controller)});
  }
  SDL_UnlockJoysticks();
}

bool SdlGamepads::IsOpen(SDL_JoystickID id) const {
  return std::any_of(pads_.begin(), pads_.end(), [id](const Pad& pad) { return pad.id == id; });
}

}  // namespace platform
