// The player's ship: keyboard and mouse steering, tilt and engine flame, parallax, the gun,
// the two specials, the bonus weapon's time and its own destruction. Lives as long as the game;
// lives, energy and shield are the game's.
#pragma once

#include <cstdint>
#include <memory>

#include "game/frame_input.h"
#include "game/gunner.h"
#include "game/game_output.h"

inline constexpr int8_t kFullCharge = 70;

class TMyShip {
 public:
  // Sets the ship sprite's colour key and fits the basic weapon (kind 0).
  TMyShip();
  ~TMyShip();
  TMyShip(const TMyShip&) = delete;
  TMyShip& operator=(const TMyShip&) = delete;

  // One frame, in every status but game over; steering, firing, specials and destruction act
  // only while the game is playing.
  void Update(gfx::TSurface* target);
  // A hit of `amount` energy; a shield takes half of it and lets the other half through.
  // Called by enemy shots, ramming enemies and bosses, and asteroids.
  void Damage(uint8_t amount);
  // The collision box: 65 x 100 at (X, Y), whatever the tilt.
  platform::Rect ShipBox() const;

  int16_t X = 0;  // 0..734 after each step
  int16_t Y = 0;  // 40..500 after each step
  int8_t Bank = 0;  // tilt frame 0..4, 2 = level
  uint8_t FlameFrame = 0;
  int8_t Charge = 0;  // special-weapon recharge, up to 70, one per frame
  TGunner Gun;  // the basic weapon (kind 0) at creation
  bool HasBomb = false;
  bool HasWall = false;
  int8_t WeaponTime = 0;  // seconds left on a bonus weapon; 99 with the basic weapon
  uint32_t FrameTick = 0;
  uint32_t FlameTick = 0;
  uint32_t WeaponTick = 0;

 private:
  void Steer();
  void ClampToScreen();
  void Explode();
  void FireSpecial();
};
