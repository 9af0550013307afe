// A tumbling rock that drifts down across the field and damages the player ship on contact.
// Lives in the game's Asteroids table; put there by the wave generator.
#pragma once

#include <cstdint>

#include "game/game_output.h"

class TAsteroid {
 public:
  // A rock of random kind at a random x on the top edge of the field, drifting towards the
  // middle; `slot` is its index in Game->Asteroids.
  explicit TAsteroid(uint8_t slot);

  platform::Rect GetRect() const;
  // One playing frame, stepped by the game: drift, animate (a frame per more than 200 ms),
  // collide with the ship, draw. False when the rock has ended (left the field, touched the
  // ship or been shot to pieces): the game then empties its slot.
  bool Update(gfx::TSurface* target);
  // A player's shot: hit points fall by `amount`, stopping at the lowest 8-bit value instead of
  // wrapping round to a healthy rock.
  void TakeDamage(int32_t amount);

  uint8_t Kind;
  uint8_t Frame = 0;
  uint8_t Slot;
  int16_t X;
  int16_t Y = 0;
  int16_t DX;
  int16_t DY;
  int8_t HitPoints = 5;
  uint32_t FrameTick = 0;
  uint32_t AnimTick = 0;
};
