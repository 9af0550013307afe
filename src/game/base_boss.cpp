#include "game/base_boss.h"

#include <array>

#include "game/game_output.h"
#include "game/enemy_ship.h"
#include "game/game.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "game/world_helpers.h"

namespace {
// Counter delays of the ten explosions of a destroyed boss, in creation order.
constexpr std::array<int8_t, 10> kDeathDelays{0, -10, -20, -30, -50, -50, -40, -30, -20, 0};
constexpr int16_t kLowestTop = 350;
}  // namespace

TBaseBoss::TBaseBoss(uint8_t kind)
    : Y(static_cast<int16_t>(-BossSizes[kind].Height)),
      TargetX(Game->Ship->X),
      TargetY(Game->Ship->Y),
      Kind(kind),
      GunKind(BossGunKinds[kind]),
      HitPoints(BossHitPoints[kind]),
      Gun(GunKind, GunKind, X, Y, false),
      LifeBar(X, Y, HitPoints, BossHitPoints[kind], BossSizes[kind].Width) {}

platform::Rect TBaseBoss::GetRect() const {
  return Bounds(X, Y, BossSizes[Kind].Width, BossSizes[Kind].Height);
}

void TBaseBoss::Move() {
  if (Random(200) == 3) Speed = static_cast<uint8_t>(Random(4));
  if (Y < 0) Climbing = 0;
  if (Y > kLowestTop) Climbing = 1;
  Y = static_cast<int16_t>(Climbing ? Y - Speed : Y + Speed);

  // The boss's centre goes under the player ship's centre.
  const int32_t targetX = TargetX + 32 - BossSizes[Kind].Width / 2;
  if (targetX > X) ++X;
  if (targetX < X) --X;

  RamPlayer(GetRect(), HitPoints, LifeBar);

  Gun.WeaponKind = Random(20) < 4 ? GunKind + 1 : GunKind;
  Gun.Pattern = Gun.WeaponKind;
}

bool TBaseBoss::Update(gfx::TSurface* target) {
  Move();
  if (IGamePainter* painter = PainterFor(target)) painter->WholeSprite(target, 19 + Kind, X, Y);
  Gun.Update(target);

  if (HitPoints <= 0) {
    const TKindSize size = BossSizes[Kind];
    for (const int8_t delay : kDeathDelays) {
      const int32_t y = Y + 10 + Random(size.Height - 20);
      const int32_t x = X + 10 + Random(size.Width - 20);
      Game->AddHit(static_cast<int16_t>(x), static_cast<int16_t>(y),
                   static_cast<uint8_t>(Kind + 9), delay);
    }
    Game->Score += BossHitPoints[Kind];
    Game->NextStage();
    return false;
  }
  if (LifeBar.Visible) LifeBar.Draw(target);
  return true;
}
