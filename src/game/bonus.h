// A pickup falling from a destroyed enemy ship: shield, life, repair, a bonus weapon for 30
// seconds or a special. Lives in the game's Bonuses table.
#pragma once

#include <cstdint>

#include "game/game_output.h"

class TBonus {
 public:
  // A bonus of random kind (0..8, equally likely) at (x, y) in slot `slot` of Game->Bonuses.
  TBonus(uint8_t slot, int16_t x, int16_t y);

  // Falls 3 px, animates, and is collected by the ship (no drawing then) or drawn. False once
  // it has ended (collected, or drawn below y 600), and the owner then empties its slot.
  // Stepped by the game while playing.
  bool Update(gfx::TSurface* target);

  uint8_t Kind = 0;
  uint8_t Frame = 0;
  uint8_t Slot = 0;
  int16_t X = 0;
  int16_t Y = 0;
  uint32_t FrameTick = 0;
  uint32_t AnimTick = 0;

 private:
  void Apply() const;
};
