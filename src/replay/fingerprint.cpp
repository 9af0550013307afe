#include "replay/fingerprint.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "game/asteroid.h"
#include "game/base_boss.h"
#include "game/bonus.h"
#include "game/enemy_engine.h"
#include "game/game.h"
#include "game/gunner.h"
#include "game/hit.h"
#include "game/my_ship.h"
#include "game/pulya.h"
#include "game/random.h"
#include "game/run_background.h"

namespace {

// FNV-1a over each value's bytes in little-endian order, so every build agrees.
class THasher {
 public:
  template <class T>
  void Add(T value) {
    static_assert(std::is_arithmetic_v<T>);
    uint64_t bits = 0;
    // The bytes of a floating-point value as an integer. memcpy, not std::bit_cast: the C++
    // library of the browser build (Emscripten 3.1.6) has no bit_cast yet.
    if constexpr (std::is_same_v<T, float>) {
      uint32_t raw;
      std::memcpy(&raw, &value, sizeof raw);
      bits = raw;
    } else if constexpr (std::is_same_v<T, double>) {
      std::memcpy(&bits, &value, sizeof bits);
    } else {
      bits = static_cast<uint64_t>(value);
    }
    for (size_t i = 0; i < sizeof(T); ++i) Byte(static_cast<uint8_t>(bits >> (8 * i)));
  }
  void Present(bool present) { Add<uint8_t>(present ? 1 : 0); }
  uint64_t Value() const { return hash_; }

 private:
  void Byte(uint8_t b) {
    hash_ ^= b;
    hash_ *= 0x100000001B3ull;
  }
  uint64_t hash_ = 0xCBF29CE484222325ull;
};

void AddGun(THasher& h, const TGunner& gun) {
  h.Add(gun.ShotCount);
  h.Add(gun.Angle);
  h.Add(gun.FireX);
  h.Add(gun.FireY);
  h.Add(gun.WeaponKind);
  h.Add(gun.Pattern);
  h.Add(gun.FrameTick);
  h.Add(gun.LastFire);
  for (const auto& shot : gun.Shots) {
    h.Present(shot != nullptr);
    if (!shot) continue;
    h.Add(shot->Kind);
    h.Add(shot->Frame);
    h.Add(shot->X);
    h.Add(shot->Y);
    h.Add(shot->Angle);
    h.Add(shot->AnimTick);
  }
}

void AddBar(THasher& h, const TLineLive& bar) {
  h.Present(bar.Visible);
  h.Add(bar.Counter);
}

void AddLayer(THasher& h, const TRunBackground& layer) {
  h.Add(layer.OffsetX);
  h.Add(layer.OffsetY);
  h.Add(layer.ImageIndex);
  h.Add(layer.FrameTick);
  h.Add(layer.ScrollTick);
}

}  // namespace

uint64_t GameFingerprint(const TGame& g) {
  THasher h;
  h.Add(g.Stage);
  h.Add(g.StagePart);
  h.Add(g.Score);
  h.Add(g.Distance);
  h.Add(g.Status);
  h.Add(g.FrameTick);
  h.Add(g.StatusTick);
  h.Add(g.Lives);
  h.Add(g.Energy);
  h.Add(g.Shield);
  h.Add(g.Frames);
  h.Present(g.Finished);
  h.Add(RandomStateDigest());

  const TMyShip& ship = *g.Ship;
  h.Add(ship.X);
  h.Add(ship.Y);
  h.Add(ship.Bank);
  h.Add(ship.FlameFrame);
  h.Add(ship.Charge);
  h.Present(ship.HasBomb);
  h.Present(ship.HasWall);
  h.Add(ship.WeaponTime);
  h.Add(ship.FrameTick);
  h.Add(ship.FlameTick);
  h.Add(ship.WeaponTick);
  AddGun(h, ship.Gun);

  const TEnemyEngine& engine = *g.Engine;
  h.Add(engine.EnemyCount);
  h.Add(engine.FrameTick);
  h.Add(engine.SpawnTick);
  for (const auto& enemy : engine.Enemies) {
    h.Present(enemy != nullptr);
    if (!enemy) continue;
    h.Add(enemy->X);
    h.Add(enemy->Y);
    h.Add(enemy->DX);
    h.Add(enemy->CentreX);
    h.Add(enemy->Kind);
    h.Add(enemy->Motion);
    h.Add(enemy->HitPoints);
    AddGun(h, enemy->Gun);
    AddBar(h, enemy->LifeBar);
  }
  h.Present(engine.Boss != nullptr);
  if (const TBaseBoss* boss = engine.Boss.get()) {
    h.Add(boss->X);
    h.Add(boss->Y);
    h.Add(boss->Kind);
    h.Add(boss->GunKind);
    h.Add(boss->Climbing);
    h.Add(boss->Speed);
    h.Add(boss->HitPoints);
    AddGun(h, boss->Gun);
    AddBar(h, boss->LifeBar);
  }
  for (const auto& hit : g.Hits) {
    h.Present(hit != nullptr);
    if (!hit) continue;
    h.Add(hit->Kind);
    h.Add(hit->X);
    h.Add(hit->Y);
    h.Add(hit->Counter);
    h.Add(hit->StepTick);
  }
  for (const auto& rock : g.Asteroids) {
    h.Present(rock != nullptr);
    if (!rock) continue;
    h.Add(rock->Kind);
    h.Add(rock->Frame);
    h.Add(rock->X);
    h.Add(rock->Y);
    h.Add(rock->DX);
    h.Add(rock->DY);
    h.Add(rock->HitPoints);
    h.Add(rock->AnimTick);
  }
  for (const auto& bonus : g.Bonuses) {
    h.Present(bonus != nullptr);
    if (!bonus) continue;
    h.Add(bonus->Kind);
    h.Add(bonus->Frame);
    h.Add(bonus->X);
    h.Add(bonus->Y);
    h.Add(bonus->AnimTick);
  }
  AddLayer(h, *g.NearBackground);
  AddLayer(h, *g.FarBackground);
  return h.Value();
}
