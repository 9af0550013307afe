#include "fakes/enemy_invariants.h"

#include "game/asteroid.h"
#include "game/base_boss.h"
#include "game/enemy_engine.h"
#include "game/enemy_ship.h"
#include "game/game.h"
#include "game/gunner.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"

namespace {

using testing::AssertionFailure;
using testing::AssertionResult;
using testing::AssertionSuccess;

AssertionResult GunConsistent(const TGunner& gun, const int16_t& ownerX, const int16_t& ownerY,
                              bool isPlayer, const char* owner) {
  if (&gun.OwnerX != &ownerX || &gun.OwnerY != &ownerY)
    return AssertionFailure() << owner << "'s gun follows another owner";
  if (gun.IsPlayer != isPlayer) return AssertionFailure() << owner << "'s gun has the wrong side";
  if (gun.Pattern != gun.WeaponKind || gun.WeaponKind >= FireIntervals.size())
    return AssertionFailure() << owner << "'s gun: weapon " << int(gun.WeaponKind) << " pattern "
                              << int(gun.Pattern);
  int occupied = 0;
  for (const auto& shot : gun.Shots) {
    if (!shot) continue;
    ++occupied;
    if (shot->Kind >= ShotFrames.size() || shot->Frame >= ShotFrames[shot->Kind])
      return AssertionFailure() << owner << "'s shot kind " << int(shot->Kind) << " frame "
                                << int(shot->Frame);
  }
  if (occupied != gun.ShotCount)
    return AssertionFailure() << owner << "'s gun counts " << int(gun.ShotCount) << " shots, has "
                              << occupied;
  return AssertionSuccess();
}

AssertionResult EnemiesConsistent(const TGame& game, bool stepped) {
  const TEnemyEngine& engine = *game.Engine;
  int live = 0;
  for (size_t slot = 0; slot < engine.Enemies.size(); ++slot) {
    const TEnemyShip* e = engine.Enemies[slot].get();
    if (!e) continue;
    ++live;
    if (slot > MaxEnemyIndex) return AssertionFailure() << "enemy beyond MaxEnemyIndex: " << slot;
    if (e->Kind > 8 || e->Motion > 3 || (e->DX != 2 && e->DX != -2))
      return AssertionFailure() << "enemy " << slot << ": kind " << int(e->Kind) << " motion "
                                << int(e->Motion) << " dx " << int(e->DX);
    // (No upper bound: a ram while the player's energy is negative adds hit points.)
    if (stepped && e->HitPoints <= 0)
      return AssertionFailure() << "enemy " << slot << " has " << e->HitPoints << " hit points";
    if (e->Y > 603) return AssertionFailure() << "enemy " << slot << " fell to y " << e->Y;
    if (e->Gun.WeaponKind != e->Kind)
      return AssertionFailure() << "enemy " << slot << " has weapon " << int(e->Gun.WeaponKind);
    if (e->LifeBar.PX != &e->X || e->LifeBar.PY != &e->Y || e->LifeBar.PHitPoints != &e->HitPoints)
      return AssertionFailure() << "enemy " << slot << "'s life bar belongs to another";
    if (auto r = GunConsistent(e->Gun, e->X, e->Y, false, "enemy"); !r) return r;
  }
  if (live != engine.EnemyCount)
    return AssertionFailure() << "EnemyCount " << int(engine.EnemyCount) << " but " << live
                              << " ships";
  return AssertionSuccess();
}

AssertionResult BossConsistent(const TGame& game, bool stepped) {
  const TBaseBoss* boss = game.Engine->Boss.get();
  if (!boss) return AssertionSuccess();
  if (boss->Kind > 2) return AssertionFailure() << "boss kind " << int(boss->Kind);
  if (stepped && game.StagePart != 3)
    return AssertionFailure() << "a boss in stage part " << int(game.StagePart);
  const int16_t height = BossSizes[boss->Kind].Height;
  if (boss->GunKind != BossGunKinds[boss->Kind] ||
      (boss->Gun.WeaponKind != boss->GunKind && boss->Gun.WeaponKind != boss->GunKind + 1))
    return AssertionFailure() << "boss weapon " << int(boss->Gun.WeaponKind);
  if (boss->Speed > 3 || boss->Climbing > 1 || boss->Y < -height || boss->Y > 353)
    return AssertionFailure() << "boss at y " << boss->Y << " speed " << int(boss->Speed);
  if (stepped && boss->HitPoints <= 0)
    return AssertionFailure() << "boss has " << boss->HitPoints << " hit points";
  if (&boss->TargetX != &game.Ship->X || &boss->TargetY != &game.Ship->Y)
    return AssertionFailure() << "boss follows something else than the ship";
  return GunConsistent(boss->Gun, boss->X, boss->Y, false, "boss");
}

AssertionResult AsteroidsConsistent(const TGame& game, bool stepped) {
  for (size_t slot = 0; slot < game.Asteroids.size(); ++slot) {
    const TAsteroid* a = game.Asteroids[slot].get();
    if (!a) continue;
    if (a->Slot != slot || a->Kind > 1 || a->Frame > 7 || a->HitPoints > 5 || a->DY < 4 ||
        a->DY > 5 || a->DX == 0 || a->DX < -2 || a->DX > 2)
      return AssertionFailure() << "asteroid " << slot << ": slot " << int(a->Slot) << " kind "
                                << int(a->Kind) << " frame " << int(a->Frame);
    if (stepped && (a->X > 800 || a->Y > 600 || a->X < -10 || a->Y < -10 || a->HitPoints < 1))
      return AssertionFailure() << "asteroid " << slot << " should have ended at (" << a->X << ", "
                                << a->Y << ") with " << int(a->HitPoints);
  }
  return AssertionSuccess();
}

}  // namespace

AssertionResult EnemyWorldConsistent(const TGame& game) {
  // Objects that were stepped this frame have already ended if they were going to.
  const bool stepped = game.Status == gsPlaying;
  if (auto r = EnemiesConsistent(game, stepped); !r) return r;
  if (auto r = BossConsistent(game, stepped); !r) return r;
  if (auto r = AsteroidsConsistent(game, stepped); !r) return r;
  return GunConsistent(game.Ship->Gun, game.Ship->X, game.Ship->Y, true, "player");
}
