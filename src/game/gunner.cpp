#include "game/gunner.h"

#include <algorithm>

#include "audio/sound_bank.h"
#include "game/game_output.h"
#include "game/asteroid.h"
#include "game/attack_tables.h"
#include "game/base_boss.h"
#include "game/enemy_engine.h"
#include "game/enemy_ship.h"
#include "game/game.h"
#include "game/kind_tables.h"
#include "game/line_live.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "game/world_helpers.h"

namespace {
// The player's gun points up, with the slight rightward drift of 3.15 rad.
constexpr double kPlayerAngle = 3.15;
}  // namespace

TGunner::TGunner(uint8_t weaponKind, uint8_t pattern, const int16_t& ownerX,
                 const int16_t& ownerY, bool isPlayer)
    : OwnerX(ownerX),
      OwnerY(ownerY),
      Angle(isPlayer ? kPlayerAngle : 0.0),
      IsPlayer(isPlayer),
      WeaponKind(weaponKind),
      Pattern(pattern),
      LastFire(GetTickCount()) {}

bool TGunner::Fire() {
  FrameTick = GetTickCount();
  if (!TickPassed(FrameTick, LastFire, FireIntervals[WeaponKind])) return false;

  const TKindSize muzzle = ShotSizes[Pattern];
  FireX = static_cast<int16_t>(muzzle.Width / 2 + OwnerX);
  FireY = static_cast<int16_t>(muzzle.Height / 2 + OwnerY);

  const TFirePattern& pattern = FirePatterns[Pattern];
  const int32_t baseX = pattern.FromOwner ? OwnerX : FireX;
  const int32_t baseY = pattern.FromOwner ? OwnerY : FireY;
  for (uint8_t i = 0; i < pattern.Count; ++i) {
    const TPatternShot& shot = pattern.Shots[i];
    AddShot(pattern.ShotKind, pattern.Sound, baseX + shot.DX, baseY + shot.DY, Angle + shot.Turn);
  }
  LastFire = GetTickCount();
  return true;
}

void TGunner::AddShot(uint8_t kind, uint8_t sound, int32_t x, int32_t y, double angle) {
  const uint8_t slot = LowestFreeSlot(Shots);
  if (slot == kNoSlot) return;
  Shots[slot] = std::make_unique<TPulya>(kind, static_cast<float>(x), static_cast<float>(y), angle);
  ++ShotCount;
  GameSound(x, y, sound);
}

void TGunner::Update(gfx::TSurface* target) {
  FrameTick = GetTickCount();
  for (uint8_t slot = 0; slot < kShotSlots; ++slot) {
    if (!Shots[slot]) continue;
    CheckShot(slot);
    if (Shots[slot]) Shots[slot]->Update(target, IsPlayer);
  }
  // The draw happens for every gun, the player's too, so the random sequence is the same
  // whoever holds the guns.
  if (TickPassed(FrameTick, LastFire, 1000) && Random(100) == 1 && ShotCount < 5 && !IsPlayer) {
    Fire();
    LastFire = GetTickCount();
  }
}

void TGunner::CheckShot(uint8_t slot) {
  const TPulya& shot = *Shots[slot];
  if (shot.Y < 0 || shot.Y > 598 || shot.X < 0 || shot.X > 802) {
    RemoveShot(slot);
    return;
  }
  // Hits are tested with the muzzle size of the gun's current pattern, not the shot's own size.
  const TKindSize size = ShotSizes[Pattern];
  const int16_t x = static_cast<int16_t>(RoundHalfEven(shot.X));
  const int16_t y = static_cast<int16_t>(RoundHalfEven(shot.Y));
  if (HitTarget(shot, Bounds(x, y, size.Width, size.Height))) {
    Game->AddHit(x, y, 0, 0);
    RemoveShot(slot);
  }
}

bool TGunner::HitTarget(const TPulya& shot, const platform::Rect& box) {
  const uint8_t damage = static_cast<uint8_t>(ShotDamage[shot.Kind]);
  if (!IsPlayer) {
    if (!Intersects(Game->Ship->ShipBox(), box)) return false;
    Game->Ship->Damage(damage);
    return true;
  }
  TEnemyEngine& engine = *Game->Engine;
  const int lastEnemy = std::min<int>(MaxEnemyIndex, kEnemySlots - 1);
  for (int i = 0; i <= lastEnemy; ++i) {
    TEnemyShip* enemy = engine.Enemies[i].get();
    if (enemy && Intersects(enemy->GetRect(), box)) {
      enemy->LifeBar.Visible = true;
      enemy->HitPoints -= damage;
      return true;
    }
  }
  for (auto& asteroid : Game->Asteroids) {
    if (asteroid && Intersects(asteroid->GetRect(), box)) {
      asteroid->TakeDamage(damage);
      Game->Score += 10;
      return true;
    }
  }
  if (engine.Boss && Intersects(engine.Boss->GetRect(), box)) {
    engine.Boss->LifeBar.Visible = true;
    engine.Boss->HitPoints -= damage;
    return true;
  }
  return false;
}

void TGunner::RemoveShot(uint8_t slot) {
  Shots[slot].reset();
  --ShotCount;
}
