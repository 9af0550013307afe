// One shot in flight: an animated sprite flying in a straight line at its kind's speed.
// Owned by the TGunner that fired it, which tests it against the field and its targets.
#pragma once

#include <cstdint>

#include "game/game_output.h"

class TPulya {
 public:
  // Position of the top-left corner in pixels; angle in radians, 0 flying straight down.
  TPulya(uint8_t kind, float x, float y, double angle);

  // Called by the gun once per frame after the shot survived its test: advances the animation
  // (one frame per more than 200 ms), draws, then moves by the kind's speed. `flipped` draws
  // the upside-down picture of the player's shots.
  void Update(gfx::TSurface* target, bool flipped);

  uint8_t Kind;
  uint8_t Frame = 0;
  float Y;
  float X;
  double Angle;
  uint32_t AnimTick;
};
