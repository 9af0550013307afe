#include "fakes/autopilot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <vector>

#include "game/asteroid.h"
#include "game/base_boss.h"
#include "game/bonus.h"
#include "game/enemy_engine.h"
#include "game/enemy_ship.h"
#include "game/game.h"
#include "game/gunner.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"
#include "game/pulya.h"
#include "game/world_helpers.h"

namespace {

constexpr int kLookAhead = 14;  // frames
constexpr int kShipStep = 6;

// Something that moves in a straight line and hurts on contact.
struct Threat {
  double x, y, w, h, vx, vy, weight;
};

void AddShots(const TGunner& gun, std::vector<Threat>& out) {
  const TKindSize box = ShotSizes[gun.Pattern];
  for (const auto& shot : gun.Shots) {
    if (!shot) continue;
    const double heading = shot->Angle + std::numbers::pi / 2;
    const double speed = ShotSpeeds[shot->Kind];
    out.push_back({shot->X, shot->Y, double(box.Width), double(box.Height),
                   std::cos(heading) * speed, std::sin(heading) * speed,
                   double(ShotDamage[shot->Kind])});
  }
}

std::vector<Threat> Threats(const TGame& game) {
  std::vector<Threat> out;
  for (const auto& enemy : game.Engine->Enemies) {
    if (!enemy) continue;
    const TKindSize size = EnemySizes[enemy->Kind];
    double vx = 0, vy = 2;
    if (enemy->Motion == kMotionSideways) vx = enemy->DX, vy = 0;
    if (enemy->Motion == kMotionDiagonal) vx = 2;
    // Ramming costs the ship the enemy's hit points.
    out.push_back({double(enemy->X), double(enemy->Y), double(size.Width), double(size.Height),
                   vx, vy, double(enemy->HitPoints % 256) + 20});
    AddShots(enemy->Gun, out);
  }
  if (const auto& boss = game.Engine->Boss) {
    const TKindSize size = BossSizes[boss->Kind];
    out.push_back({double(boss->X), double(boss->Y), double(size.Width), double(size.Height), 0,
                   boss->Climbing ? -double(boss->Speed) : double(boss->Speed), 400});
    AddShots(boss->Gun, out);
  }
  for (const auto& rock : game.Asteroids) {
    if (!rock) continue;
    const TKindSize size = AsteroidSizes[rock->Kind];
    out.push_back({double(rock->X), double(rock->Y), double(size.Width), double(size.Height),
                   double(rock->DX), double(rock->DY), 10});
  }
  return out;
}

bool Overlap(double ax, double ay, double aw, double ah, double bx, double by, double bw,
             double bh) {
  return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

struct Move {
  int dx, dy;
};

double Danger(const TGame& game, const std::vector<Threat>& threats, Move move) {
  double x = game.Ship->X, y = game.Ship->Y;
  double danger = 0;
  std::vector<bool> counted(threats.size(), false);
  for (int t = 1; t <= kLookAhead; ++t) {
    x = std::clamp(x + move.dx, 0.0, 734.0);
    y = std::clamp(y + move.dy, 40.0, 500.0);
    for (size_t i = 0; i < threats.size(); ++i) {
      if (counted[i]) continue;
      const Threat& th = threats[i];
      // A margin around the ship keeps the pilot from shaving past shots.
      if (Overlap(x - 4, y - 4, 73, 108, th.x + th.vx * t, th.y + th.vy * t, th.w, th.h)) {
        danger += th.weight * (kLookAhead + 1 - t);
        counted[i] = true;
      }
    }
  }
  return danger;
}

int32_t TargetX(const TGame& game) {
  const int32_t shipCentre = game.Ship->X + 32;
  // A bonus below the enemies first, then the lowest enemy, then the boss.
  for (const auto& bonus : game.Bonuses) {
    if (bonus && bonus->Y < game.Ship->Y) return bonus->X + BonusSizes[bonus->Kind].Width / 2;
  }
  int32_t best = -1, bestY = -10000;
  for (const auto& enemy : game.Engine->Enemies) {
    if (!enemy || enemy->Y > game.Ship->Y - 40 || enemy->X < -20 || enemy->X > 780) continue;
    if (enemy->Y > bestY) {
      bestY = enemy->Y;
      best = enemy->X + EnemySizes[enemy->Kind].Width / 2;
    }
  }
  if (best >= 0) return best;
  if (const auto& boss = game.Engine->Boss) return boss->X + BossSizes[boss->Kind].Width / 2;
  for (const auto& rock : game.Asteroids) {
    if (rock && rock->Y < game.Ship->Y) return rock->X + AsteroidSizes[rock->Kind].Width / 2;
  }
  return shipCentre;
}

}  // namespace

std::array<uint8_t, 256> Autopilot::Decide(const TGame& game) {
  std::array<uint8_t, 256> keys{};
  keys[kDikLeftCtrl] = 0x80;
  if (game.Status != gsPlaying) return keys;

  std::vector<Threat> threats = Threats(game);
  int32_t target = TargetX(game);
  const int32_t shipCentre = game.Ship->X + 32;
  int32_t preferredY = game.Engine->Boss ? 480 : 440;
  if (const auto& boss = game.Engine->Boss) {
    // The boss follows the ship at 1 px per frame and rams what it reaches: when it hangs low,
    // get out from under it towards the wider side.
    const TKindSize size = BossSizes[boss->Kind];
    if (boss->Y + size.Height > game.Ship->Y - 120) {
      const int32_t left = boss->X, right = 800 - (boss->X + size.Width);
      target = left > right ? boss->X - 80 : boss->X + size.Width + 80;
    }
  }
  if (game.Stage >= giveUpStage_) {
    // Into the nearest thing that hurts, without firing.
    keys[kDikLeftCtrl] = 0;
    double nearest = std::numeric_limits<double>::max();
    for (const Threat& th : threats) {
      const double d = std::hypot(th.x + th.w / 2 - shipCentre, th.y + th.h / 2 - game.Ship->Y);
      if (d < nearest && th.weight < 300) {
        nearest = d;
        target = static_cast<int32_t>(th.x + th.w / 2);
        preferredY = static_cast<int32_t>(th.y + th.h / 2);
      }
    }
    threats.clear();
  }
  Move best{0, 0};
  double bestCost = std::numeric_limits<double>::max();
  for (int dx : {-kShipStep, 0, kShipStep}) {
    for (int dy : {-kShipStep, 0, kShipStep}) {
      const Move move{dx, dy};
      const double aim = std::abs(shipCentre + dx - target);
      const double height = std::abs(game.Ship->Y + dy - preferredY);
      const double cost = Danger(game, threats, move) * 100 + aim + height * 0.5;
      if (cost < bestCost) {
        bestCost = cost;
        best = move;
      }
    }
  }
  if (best.dx < 0) keys[kDikLeft] = 0x80;
  if (best.dx > 0) keys[kDikRight] = 0x80;
  if (best.dy < 0) keys[kDikUp] = 0x80;
  if (best.dy > 0) keys[kDikDown] = 0x80;

  int enemies = 0;
  for (const auto& enemy : game.Engine->Enemies) enemies += enemy && enemy->Y > 0;
  if ((game.Engine->Boss || enemies >= 4) && game.Stage < giveUpStage_) keys[kDikSpace] = 0x80;
  return keys;
}
