#include "game/bonus.h"

#include "game/game_output.h"
#include "game/game.h"
#include "game/gunner.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "game/world_helpers.h"

namespace {
constexpr uint32_t kAnimInterval = 200;
constexpr int kFirstBonusSprite = 45;
constexpr int16_t kFallSpeed = 3;
constexpr int8_t kBonusWeaponSeconds = 30;

enum : uint8_t {
  bkShield = 0,
  bkLife = 1,
  bkRepair = 2,
  bkRockets = 3,
  bkHeavyShot = 4,
  bkLargeShot = 5,
  bkTwinBeams = 6,
  bkWall = 7,
  bkBomb = 8,
};

void FitWeapon(uint8_t weaponKind) {
  Game->Ship->Gun.WeaponKind = weaponKind;
  Game->Ship->Gun.Pattern = weaponKind;
  Game->Ship->WeaponTime = kBonusWeaponSeconds;
}
}  // namespace

TBonus::TBonus(uint8_t slot, int16_t x, int16_t y)
    : Kind(static_cast<uint8_t>(Random(9))), Slot(slot), X(x), Y(y) {}

void TBonus::Apply() const {
  switch (Kind) {
    case bkShield: Game->Shield = kFullShield; break;
    case bkLife: ++Game->Lives; break;
    case bkRepair: Game->Energy = kFullEnergy; break;
    case bkRockets: FitWeapon(1); break;
    case bkHeavyShot: FitWeapon(8); break;
    case bkLargeShot: FitWeapon(3); break;
    case bkTwinBeams: FitWeapon(5); break;
    case bkWall: Game->Ship->HasWall = true; break;
    case bkBomb: Game->Ship->HasBomb = true; break;
    default: break;
  }
}

bool TBonus::Update(gfx::TSurface* target) {
  Y += kFallSpeed;
  const TKindSize size = BonusSizes[Kind];
  const platform::Rect source = Bounds(size.Width * Frame, 0, size.Width, size.Height);

  FrameTick = GetTickCount();
  if (TickPassed(FrameTick, AnimTick, kAnimInterval)) {
    ++Frame;
    AnimTick = GetTickCount();
  }
  if (Intersects(Game->Ship->ShipBox(), Bounds(X, Y, size.Width, size.Height))) {
    Apply();
    return false;
  }
  if (Frame >= kBonusFrames) Frame = 0;
  if (IGamePainter* painter = PainterFor(target)) {
    painter->Sprite(target, kFirstBonusSprite + Kind, source, X, Y);
  }
  return Y <= 600;
}
