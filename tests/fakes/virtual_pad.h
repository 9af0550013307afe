// A game pad for tests: one of SDL's virtual joysticks with the standard controller layout, so
// that SDL's game-controller part maps it like a real pad. Plugged in on construction, pulled
// out on destruction or Unplug. SDL's joystick part must be running (SdlGamepads starts it).
#pragma once

#include <SDL.h>

class VirtualPad {
 public:
  VirtualPad();
  ~VirtualPad();
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  bool Plugged() const { return joystick_ != nullptr; }
  // Takes effect at the next update of SDL's joysticks.
  void Button(SDL_GameControllerButton button, bool down);
  // Sticks -32768..32767; triggers 0 (released) .. 32767 (pulled fully).
  void Axis(SDL_GameControllerAxis axis, int32_t value);
  void Unplug();

 private:
  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID id_ = -1;
};
