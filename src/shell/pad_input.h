// Game pads in the shell: the key a pad press stands for on each screen, the repeat of a held
// direction on menus, and the keys the game polls for what the pads hold. The press handler
// and the per-frame poll are members of TForm1 (shell/form.h).
//
// In the game the pads are held like keys: the D-pad and the left stick steer like the arrow
// keys, South and the right trigger fire like Ctrl, West and East fire the special like Space;
// Start pauses and resumes like P, Back asks to quit like Esc. On every menu, page and dialog
// the directions are the arrow keys, South and Start are Enter, East is Esc.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// A held direction repeats like a held key: after this long, then at this interval (ms).
inline constexpr uint32_t kPadRepeatDelayMs = 400;
inline constexpr uint32_t kPadRepeatIntervalMs = 100;

// Controls held by any pad at the last poll (PadBit bits); 0 without pads and while the window
// is inactive or minimised.
extern uint32_t PadHeld;
// The direction that repeats while it stays held (-1: none) and the tick of its next repeat.
extern int32_t PadRepeatControl;
extern uint32_t PadRepeatTick;

// The window key (virtual-key code) a press of `control` stands for on screen `screen`; 0 when
// the press does nothing there.
int32_t PadKey(platform::PadControl control, int32_t screen);
// Marks the DirectInput keys of the held controls as held in `keyState`.
void AddPadKeys(uint32_t held, uint8_t keyState[256]);
// Back to start-up: nothing held, nothing repeating.
void ResetPadInputState();
