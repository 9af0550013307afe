// Key-code translation for the SDL platform layer: SDL's physical scancodes to the DirectInput
// key codes of the polled keyboard state, and key presses to Windows virtual-key codes for
// the window's key events.
#pragma once

#include <cstdint>

namespace platform {

// DirectInput key code of a physical key (an SDL_Scancode value), 0 when it has none.
uint8_t DikFromScancode(int scancode);

// Windows virtual-key code of a key press, 0 when it has none. scancode is the physical key
// (SDL_Scancode), keycode the layout's meaning of it (SDL_Keycode): letters follow the layout,
// as Windows virtual keys do; every other key is taken by position. With num lock off the
// keypad's digit keys are the navigation keys they are labelled with.
int32_t VkFromKey(int scancode, int32_t keycode, bool numLock);

}  // namespace platform
