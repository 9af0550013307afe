// The one way the outside world reaches the game: per frame, the clock value and what the
// player holds (keys with the pads merged in, the mouse). The shell fills it from the devices
// and the replay player from a recording; the game reads nothing else, so the same inputs
// give the same game with or without a window.
#pragma once

#include <array>
#include <cstdint>

// DirectInput key codes the ship polls.
inline constexpr uint8_t kDikLeft = 0xCB;
inline constexpr uint8_t kDikRight = 0xCD;
inline constexpr uint8_t kDikUp = 0xC8;
inline constexpr uint8_t kDikDown = 0xD0;
inline constexpr uint8_t kDikLeftCtrl = 0x1D;
inline constexpr uint8_t kDikRightCtrl = 0x9D;
inline constexpr uint8_t kDikSpace = 0x39;

// Bits of TFrameInput::Controls: the polled keys the ship looks at (held = the key's byte was
// 0x80), the sign of the mouse motion since the last frame and the two mouse buttons held.
enum : uint16_t {
  kCtlLeft = 1 << 0,
  kCtlRight = 1 << 1,
  kCtlUp = 1 << 2,
  kCtlDown = 1 << 3,
  kCtlLeftCtrl = 1 << 4,
  kCtlRightCtrl = 1 << 5,
  kCtlSpace = 1 << 6,
  kCtlMouseLeft = 1 << 7,    // motion x < 0
  kCtlMouseRight = 1 << 8,   // motion x > 0
  kCtlMouseUp = 1 << 9,      // motion y < 0
  kCtlMouseDown = 1 << 10,   // motion y > 0
  kCtlMouseFire = 1 << 11,   // first button held
  kCtlMouseSpecial = 1 << 12,  // second button held
  // The player confirmed "Exit game?": the game goes to "Game Over" before this frame's step.
  kCtlQuit = 1 << 13,
};
inline constexpr uint16_t kAllControls = (1 << 14) - 1;

struct TFrameInput {
  uint32_t Tick = 0;      // the system tick count at this frame, ms (64 Hz steps, wraps)
  uint16_t Controls = 0;  // kCtl* bits
};

// The input of the frame being stepped: TGame::Update stores its argument here, and every
// object of the world reads the time and the controls from it. Unit tests that step single
// objects set it themselves.
extern TFrameInput FrameInput;

// The controls of the 256-byte DirectInput key state and the 20-byte mouse state (three
// little-endian int32 motions, then eight button bytes), as the shell polls them.
uint16_t ControlsFromDevices(const std::array<uint8_t, 256>& keys, const uint8_t mouse[20]);
