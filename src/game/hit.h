// An animated explosion: 16 frames, one counter step per more than 30 ms, optionally delayed.
// Lives in the game's Hits table; created through TGame::AddHit.
#pragma once

#include <cstdint>

#include "game/game_output.h"

class THit {
 public:
  // Hit types 0..8 give small kinds (type mod 3), 9..17 large ones (3 + type mod 3), others 0.
  // `delay` (0 or negative) is the counter's start: -d postpones the first frame by d steps.
  THit(uint8_t hitType, int16_t x, int16_t y, uint8_t slot, int8_t delay);

  // Advances the counter and draws the frame; false once the effect has ended (after frame
  // 15), and the owner then empties its slot.
  bool Update(gfx::TSurface* target);

  static uint8_t KindOfType(uint8_t hitType);

  uint8_t Kind = 0;
  uint8_t Slot = 0;
  int16_t X = 0;
  int16_t Y = 0;
  int16_t Counter = 0;
  uint32_t FrameTick = 0;
  uint32_t StepTick = 0;
};
