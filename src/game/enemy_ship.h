// One enemy ship of a wave: moves by one of four motions, rams the player, fires its gun at
// random, and when its hit points are gone explodes, scores and may drop a bonus. Lives in the
// wave generator's Enemies table.
#pragma once

#include <cstdint>

#include "game/gunner.h"
#include "game/line_live.h"
#include "game/game_output.h"

// The four ways an enemy ship moves (TEnemyShip::Motion).
enum : uint8_t {
  kMotionDown = 0,      // straight down, 2 px per frame
  kMotionSideways = 1,  // sideways only, bouncing between the screen edges; never falls
  kMotionWeave = 2,     // down, weaving 70 px either side of the x it was created at
  kMotionDiagonal = 3,  // down and to the right, 2 px each
};

// The ram, for enemy ships and the boss alike: while `rect` overlaps the player ship, the rammer
// loses the player's energy in hit points (showing its life bar if it survives) and the player
// takes the low 8 bits of the rammer's hit points before the ram as damage (none when they were
// already 0 or less).
void RamPlayer(const platform::Rect& rect, int32_t& hitPoints, TLineLive& lifeBar);

class TEnemyShip {
 public:
  // Kind 0..8 at (x, y); its gun fires weapon kind `kind` downward.
  TEnemyShip(uint8_t kind, int16_t x, int16_t y, uint8_t motion);
  TEnemyShip(const TEnemyShip&) = delete;
  TEnemyShip& operator=(const TEnemyShip&) = delete;

  platform::Rect GetRect() const;
  // One frame's motion, the bounce off the side edges, and the ram.
  void Move();
  // One playing frame, called by the wave generator: move, draw, step the gun; false when the
  // ship was destroyed this step (explosion, score, 1 in 6 a bonus): the generator then empties
  // its slot.
  bool Update(gfx::TSurface* target);

  int16_t X;
  int16_t Y;
  int8_t DX = 2;
  int16_t CentreX;
  uint8_t Kind;
  uint8_t Motion;
  int32_t HitPoints;
  TGunner Gun;
  TLineLive LifeBar;
};
