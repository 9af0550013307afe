#include "game/enemy_ship.h"

#include <memory>

#include "game/game_output.h"
#include "game/bonus.h"
#include "game/game.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "game/world_math.h"
#include "game/world_helpers.h"

namespace {
constexpr int16_t kStep = 2;
}  // namespace

void RamPlayer(const platform::Rect& rect, int32_t& hitPoints, TLineLive& lifeBar) {
  TMyShip& ship = *Game->Ship;
  if (!Intersects(ship.ShipBox(), rect)) return;
  const int32_t old = hitPoints;
  hitPoints -= Game->Energy;
  if (hitPoints > 0) lifeBar.Visible = true;
  // A wreck has nothing left to hit with: the low byte of a negative count would be close to
  // 255 and kill the player through any shield.
  if (old > 0) ship.Damage(static_cast<uint8_t>(old & 0xFF));
}

// A weaving ship weaves about the x it was created at, so a formation keeps its shape.
TEnemyShip::TEnemyShip(uint8_t kind, int16_t x, int16_t y, uint8_t motion)
    : X(x),
      Y(y),
      CentreX(x),
      Kind(kind),
      Motion(motion),
      HitPoints(EnemyHitPoints[kind]),
      Gun(kind, kind, X, Y, false),
      LifeBar(X, Y, HitPoints, EnemyHitPoints[kind], EnemySizes[kind].Width) {}

platform::Rect TEnemyShip::GetRect() const {
  return Bounds(X, Y, EnemySizes[Kind].Width, EnemySizes[Kind].Height);
}

void TEnemyShip::Move() {
  switch (Motion) {
    case kMotionDown:
      Y += kStep;
      break;
    case kMotionSideways:
      X += DX;
      break;
    case kMotionWeave:
      Y += kStep;
      X = static_cast<int16_t>(WeaveOffset(Y) + CentreX);
      break;
    case kMotionDiagonal:
      Y += kStep;
      X += kStep;
      break;
    default:
      break;
  }
  if (X < 0) DX = kStep;
  if (X + EnemySizes[Kind].Width > 800) DX = -kStep;

  RamPlayer(GetRect(), HitPoints, LifeBar);
}

bool TEnemyShip::Update(gfx::TSurface* target) {
  Move();
  if (IGamePainter* painter = PainterFor(target)) painter->WholeSprite(target, 10 + Kind, X, Y);
  Gun.Update(target);

  if (HitPoints <= 0) {
    Game->AddHit(X, Y, static_cast<uint8_t>(Kind + 9), 0);
    Game->Score += EnemyHitPoints[Kind];
    if (Random(6) == 1) {
      const uint8_t slot = LowestFreeSlot(Game->Bonuses);
      if (slot != kNoSlot) Game->Bonuses[slot] = std::make_unique<TBonus>(slot, X, Y);
    }
    return false;
  }
  if (LifeBar.Visible) LifeBar.Draw(target);
  return true;
}
