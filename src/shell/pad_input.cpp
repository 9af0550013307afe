#include "shell/pad_input.h"

#include "game/my_ship.h"
#include "shell/form.h"
#include "shell/screen_state.h"

uint32_t PadHeld = 0;
int32_t PadRepeatControl = -1;
uint32_t PadRepeatTick = 0;

namespace {

using namespace platform;

constexpr int32_t kKeyP = 'P';
constexpr uint8_t kHeld = 0x80;

struct HeldKey {
  PadControl control;
  uint8_t dik;
};

constexpr HeldKey kGameKeys[] = {
    {kPadUp, kDikUp},           {kPadDown, kDikDown},   {kPadLeft, kDikLeft},
    {kPadRight, kDikRight},     {kPadSouth, kDikLeftCtrl}, {kPadRightTrigger, kDikLeftCtrl},
    {kPadWest, kDikSpace},      {kPadEast, kDikSpace},
};

Platform& Os() { return Services(); }

bool IsDirection(PadControl control) {
  return control == kPadUp || control == kPadDown || control == kPadLeft || control == kPadRight;
}

int32_t MenuKey(PadControl control) {
  switch (control) {
    case kPadUp: return VK_UP;
    case kPadDown: return VK_DOWN;
    case kPadLeft: return VK_LEFT;
    case kPadRight: return VK_RIGHT;
    case kPadSouth:
    case kPadStart: return VK_RETURN;
    case kPadEast: return VK_ESCAPE;
    default: return 0;
  }
}

}  // namespace

int32_t PadKey(PadControl control, int32_t screen) {
  switch (screen) {
    case ssIntro:
    case ssSending:
    case ssBossKeyCapture:
      return 0;
    case ssPlaying:
    case ssPaused:
      // Everything else is held, not pressed, in the game (AddPadKeys).
      if (control == kPadStart) return kKeyP;
      if (control == kPadBack) return VK_ESCAPE;
      return 0;
    default:
      return MenuKey(control);
  }
}

void AddPadKeys(uint32_t held, uint8_t keyState[256]) {
  for (const HeldKey& k : kGameKeys) {
    if (held & PadBit(k.control)) keyState[k.dik] = kHeld;
  }
}

void ResetPadInputState() {
  PadHeld = 0;
  PadRepeatControl = -1;
  PadRepeatTick = 0;
}

void TForm1::PollGamepads() {
  IGamepads* pads = Os().gamepads;
  if (!pads || !FInput) {
    PadHeld = 0;
    return;
  }
  PadHeld = pads->Update();
  PadControl control;
  if (!FReady || FMinimized) {
    // Like the keyboard, a pad belongs to the window that has the focus: what is pressed
    // meanwhile is dropped, not kept for later, and nothing repeats or stays held.
    while (pads->PollPress(control)) {
    }
    PadHeld = 0;
    PadRepeatControl = -1;
    return;
  }
  const uint32_t now = Os().clock->TickCount();
  while (!FClosed && pads->PollPress(control)) {
    // As with keys, only the last one pressed repeats, and only directions do.
    PadRepeatControl = IsDirection(control) ? control : -1;
    PadRepeatTick = now + kPadRepeatDelayMs;
    FormPadDown(control);
  }
  if (PadRepeatControl < 0) return;
  const auto repeating = static_cast<PadControl>(PadRepeatControl);
  if (!(PadHeld & PadBit(repeating))) {
    PadRepeatControl = -1;
  } else if (!FClosed && static_cast<int32_t>(now - PadRepeatTick) >= 0) {
    PadRepeatTick = now + kPadRepeatIntervalMs;
    FormPadDown(repeating);
  }
}
