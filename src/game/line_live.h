// The thin life bar shown above an enemy ship or a boss for a while after it was hit. Owned by
// its ship or boss, whose position and hit points it reads by reference.
#pragma once

#include <cstdint>

#include "game/game_output.h"

class TLineLive {
 public:
  // Full length `width` px at `fullHitPoints`; hidden until the owner shows it.
  TLineLive(const int16_t& x, const int16_t& y, const int32_t& hitPoints, int32_t fullHitPoints,
            int32_t width);

  // Draws the bar 10 px above the owner (called by the owner only while Visible); hides it
  // again after 101 draws.
  void Draw(gfx::TSurface* target);
  // Length in pixels for the owner's current hit points.
  int32_t Length() const;

  const int16_t* PX;
  const int16_t* PY;
  const int32_t* PHitPoints;
  bool Visible = false;
  float Scale = 0;  // pixels per hit point
  uint16_t Counter = 0;
};

inline constexpr uint32_t kLifeBarColour = 0x228822;
