// The command ship of a boss stage: hovers near the top of the screen, follows the player
// sideways, rams, fires a heavy weapon that alternates at random with a second one, and when
// destroyed explodes in a cascade, scores and ends the stage. Owned by the wave generator.
#pragma once

#include <cstdint>

#include "game/gunner.h"
#include "game/line_live.h"
#include "game/game_output.h"

class TBaseBoss {
 public:
  // Boss kind 0..2, waiting just above the screen at x 340 until its first change of speed.
  // Follows Game->Ship, which outlives it.
  explicit TBaseBoss(uint8_t kind);
  TBaseBoss(const TBaseBoss&) = delete;
  TBaseBoss& operator=(const TBaseBoss&) = delete;

  platform::Rect GetRect() const;
  // One frame's motion: a new speed now and then (0..3 px per frame), down and up between the
  // top of the screen and y 350, one pixel sideways towards the player, the ram, and the choice
  // of weapon for the next firing (the alternate one frame in five).
  void Move();
  // One playing frame, called by the wave generator after its enemy ships. False when the boss
  // was destroyed this step (ten explosions, score, the next stage begins): the generator then
  // drops it.
  bool Update(gfx::TSurface* target);

  int16_t X = 340;
  int16_t Y;
  const int16_t& TargetX;
  const int16_t& TargetY;
  uint8_t Kind;
  uint8_t GunKind;
  uint8_t Climbing = 0;
  uint8_t Speed = 0;
  int32_t HitPoints;
  TGunner Gun;
  TLineLive LifeBar;
};
