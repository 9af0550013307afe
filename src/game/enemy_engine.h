// The enemy wave generator: owns up to 20 enemy ships and the boss, steps them every playing
// frame, drops ships that fell below the screen, and at most once every 200 ms may launch a new
// formation or an asteroid. Owned by the game, stepped only while it is playing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "game/base_boss.h"
#include "game/enemy_ship.h"
#include "game/game_output.h"

inline constexpr int kEnemySlots = 20;

class TEnemyEngine {
 public:
  // One playing frame: drop the fallen ships, step the ships in slot order, then the boss,
  // then the spawn test.
  void Update(gfx::TSurface* target);
  // Launches one formation of the stage's enemy kinds from a random edge.
  void SpawnWave();
  // Puts a new asteroid into the lowest free slot of Game->Asteroids; nothing when all are
  // taken.
  void SpawnAsteroid();
  // The lowest empty index among Enemies 0..MaxEnemyIndex, or kNoSlot (255).
  uint8_t FreeSlot() const;
  // Creates a ship in FreeSlot() and counts it; returns its slot, or kNoSlot (and creates
  // nothing) when the table is full.
  uint8_t PlaceEnemy(uint8_t kind, int16_t x, int16_t y, uint8_t motion);
  // Empties the world for a stage that begins: every asteroid, enemy ship and bonus, and the
  // boss. Explosions are left alone. Called by the game when a stage's intro ends.
  void ClearAll();
  // Destroys, without explosion or score, every ship whose top edge is below y 601.
  void RemoveFallen();

  std::array<std::unique_ptr<TEnemyShip>, kEnemySlots> Enemies;
  std::unique_ptr<TBaseBoss> Boss;
  // Live enemy ships.
  uint8_t EnemyCount = 0;
  uint32_t FrameTick = 0;
  // 0 at creation, so the first spawn test passes at once.
  uint32_t SpawnTick = 0;

 private:
  void DestroyEnemy(uint8_t slot);
};
