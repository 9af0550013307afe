#include "game/asteroid.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "game/game_output.h"
#include "game/game.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "game/world_helpers.h"

namespace {
constexpr uint8_t kAsteroidFrames = 8;
constexpr uint8_t kCollisionDamage = 10;
}  // namespace

TAsteroid::TAsteroid(uint8_t slot) : Slot(slot) {
  // The draws come in this order: kind, x, horizontal step, vertical step.
  Kind = static_cast<uint8_t>(Random(2));
  X = static_cast<int16_t>(50 + Random(700));
  DX = static_cast<int16_t>(1 + Random(2));
  DY = static_cast<int16_t>(4 + Random(2));
  if (X > 400) DX = static_cast<int16_t>(-DX);
}

platform::Rect TAsteroid::GetRect() const {
  return Bounds(X, Y, AsteroidSizes[Kind].Width, AsteroidSizes[Kind].Height);
}

void TAsteroid::TakeDamage(int32_t amount) {
  HitPoints = static_cast<int8_t>(
      std::max<int32_t>(HitPoints - amount, std::numeric_limits<int8_t>::min()));
}

bool TAsteroid::Update(gfx::TSurface* target) {
  X += DX;
  Y += DY;
  const TKindSize size = AsteroidSizes[Kind];
  const platform::Rect source = Bounds(size.Width * Frame, 0, size.Width, size.Height);
  FrameTick = GetTickCount();
  if (TickPassed(FrameTick, AnimTick, 200)) {
    ++Frame;
    AnimTick = GetTickCount();
  }

  platform::Rect overlap;
  if (IntersectRect(overlap, Game->Ship->ShipBox(), GetRect())) {
    Game->AddHit(static_cast<int16_t>(overlap.right), static_cast<int16_t>(overlap.bottom), 0, 0);
    X = 810;  // out of the field: removed below
    Game->Ship->Damage(kCollisionDamage);
  }
  if (Frame >= kAsteroidFrames) Frame = 0;

  if (IGamePainter* painter = PainterFor(target)) painter->Sprite(target, 37 + Kind, source, X, Y);

  return !(X > 800 || Y > 600 || X < -10 || Y < -10 || HitPoints < 1);
}
