#include "game/enemy_engine.h"

#include <algorithm>

#include "game/asteroid.h"
#include "game/attack_tables.h"
#include "game/bonus.h"
#include "game/game.h"
#include "game/kind_tables.h"
#include "game/random.h"
#include "game/world_helpers.h"

namespace {
constexpr uint32_t kSpawnInterval = 200;
// A later stage launches a wave while fewer than this many ships are alive; stage 1 only
// when none is.
constexpr uint8_t kWaveRoom = 5;
constexpr int16_t kFallenBelow = 601;

int LastEnemySlot() { return std::min<int>(MaxEnemyIndex, kEnemySlots - 1); }
}  // namespace

void TEnemyEngine::Update(gfx::TSurface* target) {
  RemoveFallen();
  for (int slot = 0; slot <= LastEnemySlot(); ++slot) {
    if (Enemies[slot] && !Enemies[slot]->Update(target)) DestroyEnemy(static_cast<uint8_t>(slot));
  }
  if (Boss && !Boss->Update(target)) Boss.reset();

  FrameTick = GetTickCount();
  if (TickPassed(FrameTick, SpawnTick, kSpawnInterval)) {
    const bool firstStage = Game->Stage == 1;
    if (Random(15) == 3 &&
        ((EnemyCount < kWaveRoom && !firstStage) || (EnemyCount == 0 && firstStage))) {
      SpawnWave();
    }
    if (Random(20) == 2) SpawnAsteroid();
    SpawnTick = GetTickCount();
  }
}

void TEnemyEngine::SpawnWave() {
  const uint8_t kind = Game->PickEnemyKind();
  const uint8_t motion = static_cast<uint8_t>(Random(4));
  // The big kinds 3..8 always come alone.
  const uint8_t formation = kind <= 2 ? static_cast<uint8_t>(Random(6)) : 5;
  int32_t anchorX = 0;
  int32_t anchorY = 0;
  if (motion == kMotionDown || motion == kMotionWeave) {
    anchorX = Random(700);
  } else if (motion == kMotionSideways) {
    anchorY = Random(400);
  }

  const TKindSize size = EnemySizes[kind];
  const TFormation& shape = Formations[formation];
  for (uint8_t i = 0; i < shape.Count; ++i) {
    const TFormationShip& place = shape.Ships[i];
    const int32_t x = anchorX + place.Col * (size.Width + 3);
    const int32_t y = place.AtTop ? 0 : anchorY + place.Row * (size.Height + 3);
    PlaceEnemy(kind, static_cast<int16_t>(x), static_cast<int16_t>(y), motion);
  }
}

void TEnemyEngine::SpawnAsteroid() {
  const uint8_t slot = LowestFreeSlot(Game->Asteroids);
  if (slot != kNoSlot) Game->Asteroids[slot] = std::make_unique<TAsteroid>(slot);
}

uint8_t TEnemyEngine::FreeSlot() const {
  for (int slot = 0; slot <= LastEnemySlot(); ++slot) {
    if (!Enemies[slot]) return static_cast<uint8_t>(slot);
  }
  return kNoSlot;
}

uint8_t TEnemyEngine::PlaceEnemy(uint8_t kind, int16_t x, int16_t y, uint8_t motion) {
  const uint8_t slot = FreeSlot();
  if (slot == kNoSlot) return kNoSlot;
  Enemies[slot] = std::make_unique<TEnemyShip>(kind, x, y, motion);
  ++EnemyCount;
  return slot;
}

void TEnemyEngine::ClearAll() {
  for (uint8_t slot = 0; slot < kTableSize; ++slot) {
    Game->Asteroids[slot].reset();
    if (slot < kEnemySlots) DestroyEnemy(slot);
    Game->Bonuses[slot].reset();
  }
  Boss.reset();
}

void TEnemyEngine::RemoveFallen() {
  for (uint8_t slot = 0; slot < kEnemySlots; ++slot) {
    if (Enemies[slot] && Enemies[slot]->Y > kFallenBelow) DestroyEnemy(slot);
  }
}

void TEnemyEngine::DestroyEnemy(uint8_t slot) {
  if (!Enemies[slot]) return;
  Enemies[slot].reset();
  --EnemyCount;
}
