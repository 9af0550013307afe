// Game pads through SDL's game-controller part: SDL's built-in mapping database turns the
// common pads (and any mapping given in SDL_GAMECONTROLLERCONFIG) into one standard layout, with
// the face buttons taken by their place on the pad, not by their labels.
//
// The pads are polled once per frame rather than followed through SDL's event queue: their
// events are switched off, so that a connected pad does not turn SDL's event wait into a poll
// loop, and the window-event queue never sees them. A press and release that both fall between
// two frames (under 16 ms) is therefore not seen.
#pragma once

#include <SDL_gamecontroller.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/platform.h"

namespace platform {

// How far the left stick must be pushed from its centre to count as a direction, and a trigger
// pulled to count as held: a quarter of the travel (SDL reports -32768..32767 and 0..32767).
inline constexpr int32_t kPadAxisThreshold = 8192;

// The controls a pad holds now, as PadBit bits.
uint32_t PadControlsHeld(SDL_GameController* pad);

class SdlGamepads : public IGamepads {
 public:
  // Starts SDL's game-controller part. When that fails there are simply no pads.
  SdlGamepads();
  ~SdlGamepads() override;
  SdlGamepads(const SdlGamepads&) = delete;
  SdlGamepads& operator=(const SdlGamepads&) = delete;

  uint32_t Update() override;
  bool PollPress(PadControl& control) override;

  // The number of pads open since the last Update.
  size_t Count() const { return pads_.size(); }

 private:
  struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    uint32_t held = 0;
  };

  void DropDetached();
  void OpenNew();
  bool IsOpen(SDL_JoystickID id) const;

  bool ok_ = false;
  std::vector<Pad> pads_;
  std::deque<PadControl> presses_;
};

}  // namespace platform
