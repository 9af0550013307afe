#include "game/frame_input.h"


TFrameInput FrameInput;

namespace {
constexpr uint8_t kHeld = 0x80;

struct KeyBit {
  uint8_t code;  // DirectInput key code
  uint16_t bit;
};
constexpr KeyBit kKeyBits[] = {
    {kDikLeft, kCtlLeft},         {kDikRight, kCtlRight},         {kDikUp, kCtlUp},
    {kDikDown, kCtlDown},         {kDikLeftCtrl, kCtlLeftCtrl},   {kDikRightCtrl, kCtlRightCtrl},
    {kDikSpace, kCtlSpace},
};

int32_t Motion(const uint8_t mouse[20], int index) {
  const uint8_t* p = mouse + 4 * index;
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}
}  // namespace

uint16_t ControlsFromDevices(const std::array<uint8_t, 256>& keys, const uint8_t mouse[20]) {
  uint16_t controls = 0;
  for (const KeyBit& k : kKeyBits) {
    if (keys[k.code] == kHeld) controls |= k.bit;
  }
  const int32_t x = Motion(mouse, 0);
  const int32_t y = Motion(mouse, 1);
  if (x < 0) controls |= kCtlMouseLeft;
  if (x > 0) controls |= kCtlMouseRight;
  if (y < 0) controls |= kCtlMouseUp;
  if (y > 0) controls |= kCtlMouseDown;
  if (mouse[12] == kHeld) controls |= kCtlMouseFire;
  if (mouse[13] == kHeld) controls |= kCtlMouseSpecial;
  return controls;
}
