// The gun every ship carries: the player's ship, each enemy ship and the boss. It owns the shots
// it fired (up to 21 at once), fires the pattern of its weapon kind when the kind's interval has
// passed, and tests its shots against the field and their targets every frame.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/pulya.h"
#include "game/game_output.h"

inline constexpr int kShotSlots = 21;

class TGunner {
 public:
  // ownerX/ownerY are the owner's position fields, read at every firing; the owner outlives
  // its gun. The player's gun fires upward (angle 3.15 rad), every other gun straight down.
  TGunner(uint8_t weaponKind, uint8_t pattern, const int16_t& ownerX, const int16_t& ownerY,
          bool isPlayer);
  TGunner(const TGunner&) = delete;
  TGunner& operator=(const TGunner&) = delete;

  // Fires the pattern when more than the weapon kind's interval (ms) has passed since the last
  // firing; false (and no change) otherwise. Called by the player ship on the fire key and by
  // the gun's own random fire.
  bool Fire();
  // Puts a shot into the lowest free slot and plays `sound` at (x, y); with all 21 slots taken,
  // nothing happens. Also used directly by the player's wall special.
  void AddShot(uint8_t kind, uint8_t sound, int32_t x, int32_t y, double angle);
  // Once per frame of the owner: tests, draws and moves every shot, then lets enemy and boss
  // guns fire at random (at most once a second, while fewer than five shots fly).
  void Update(gfx::TSurface* target);
  // Removes the shot in `slot` when it left the field, or applies its hit to the first target
  // it overlaps (with a small explosion) and removes it.
  void CheckShot(uint8_t slot);

  std::array<std::unique_ptr<TPulya>, kShotSlots> Shots;
  const int16_t& OwnerX;
  const int16_t& OwnerY;
  // Occupied Shots slots.
  uint8_t ShotCount = 0;
  double Angle;
  int16_t FireX = 0;
  int16_t FireY = 0;
  bool IsPlayer;
  // Chooses the firing interval and the HUD icon; every writer sets Pattern to the same value.
  uint8_t WeaponKind;
  // Chooses the shots fired and the muzzle size used for the muzzle point and hit tests.
  uint8_t Pattern;
  uint32_t FrameTick = 0;
  uint32_t LastFire;

 private:
  void RemoveShot(uint8_t slot);
  // The shot's hit on the player's targets (enemy ships, asteroids, boss, first hit wins) or,
  // for any other gun, on the player ship. True when it hit something.
  bool HitTarget(const TPulya& shot, const platform::Rect& box);
};
