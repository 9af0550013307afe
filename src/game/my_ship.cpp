#include "game/my_ship.h"

#include "audio/sound_bank.h"
#include "game/frame_input.h"
#include "game/game_output.h"
#include "game/asteroid.h"
#include "game/base_boss.h"
#include "game/enemy_engine.h"
#include "game/enemy_ship.h"
#include "game/game.h"
#include "game/gunner.h"
#include "game/hit.h"
#include "game/kind_tables.h"
#include "game/random.h"
#include "game/run_background.h"
#include "game/world_helpers.h"

namespace {
constexpr int16_t kStep = 6;         // px per frame in each direction
constexpr int16_t kNearShift = 2;    // parallax of the upper layer per move
constexpr int16_t kFarShift = 1;     // and of the lower layer
constexpr int16_t kMinX = 0, kMaxX = 734, kMinY = 40, kMaxY = 500;
constexpr int8_t kLevelBank = 2, kMaxBank = 4;
constexpr uint32_t kFlameInterval = 60;
constexpr uint32_t kWeaponSecond = 1000;
constexpr int8_t kBasicWeaponTime = 99;
constexpr uint8_t kPlayerHitType = 11;
constexpr uint8_t kWallShotKind = 6;
constexpr int32_t kBombBossDamage = 100;

bool Held(uint16_t controls) { return (FrameInput.Controls & controls) != 0; }
bool Playing() { return Game->Status == gsPlaying; }
}  // namespace

TMyShip::TMyShip() : Gun(0, 0, X, Y, true) {}

TMyShip::~TMyShip() = default;

platform::Rect TMyShip::ShipBox() const { return Bounds(X, Y, ShipSize.Width, ShipSize.Height); }

void TMyShip::Damage(uint8_t amount) {
  if (Game->Shield == 0) {
    Game->Energy = static_cast<int16_t>(Game->Energy - amount);
    return;
  }
  const int16_t half = amount / 2;
  Game->Shield = static_cast<int16_t>(Game->Shield - half);
  Game->Energy = static_cast<int16_t>(Game->Energy - half);
}

void TMyShip::Steer() {
  const bool left = Held(kCtlLeft | kCtlMouseLeft);
  const bool right = Held(kCtlRight | kCtlMouseRight);
  const bool up = Held(kCtlUp | kCtlMouseUp);
  const bool down = Held(kCtlDown | kCtlMouseDown);
  if (left && Playing()) {
    X -= kStep;
    --Bank;
    Game->NearBackground->ShiftX(kNearShift);
    Game->FarBackground->ShiftX(kFarShift);
  } else if (right && Playing()) {
    X += kStep;
    ++Bank;
    Game->NearBackground->ShiftX(-kNearShift);
    Game->FarBackground->ShiftX(-kFarShift);
  } else {
    Bank = kLevelBank;
  }
  if (up && Playing()) Y -= kStep;
  if (down && Playing()) Y += kStep;
  Bank = std::clamp<int8_t>(Bank, 0, kMaxBank);
}

void TMyShip::ClampToScreen() {
  Y = std::clamp(Y, kMinY, kMaxY);
  // The edge takes back the parallax shift of the move it stopped.
  if (X > kMaxX) {
    X = kMaxX;
    Game->FarBackground->ShiftX(kFarShift);
    Game->NearBackground->ShiftX(kNearShift);
  }
  if (X < kMinX) {
    X = kMinX;
    Game->FarBackground->ShiftX(-kFarShift);
    Game->NearBackground->ShiftX(-kNearShift);
  }
}

void TMyShip::Explode() {
  for (auto& hit : Game->Hits) hit.reset();
  Game->Status = gsBetweenStages;
  for (int8_t delay : {-40, -30, -20, -10, 0}) {
    const int16_t y = static_cast<int16_t>(Y + Random(20));
    const int16_t x = static_cast<int16_t>(X + Random(25));
    Game->AddHit(x, y, kPlayerHitType, delay);
  }
  --Game->Lives;
}

void TMyShip::FireSpecial() {
  if (HasWall) {
    for (int32_t i = 0; i < 10; ++i) Gun.AddShot(kWallShotKind, sfxSkeel, i * 80, Y - 5, Gun.Angle);
    HasWall = false;
    Charge = 0;
  } else if (HasBomb) {
    for (int32_t i = 0; i < 10; ++i) GameSound(i * 80, Y - 5, sfxSkeel);
    // The ships and rocks notice at their own next step, scoring and dropping as usual.
    for (auto& enemy : Game->Engine->Enemies) {
      if (enemy) enemy->HitPoints = -1;
    }
    for (auto& asteroid : Game->Asteroids) {
      if (asteroid) asteroid->HitPoints = -1;
    }
    if (Game->Engine->Boss) Game->Engine->Boss->HitPoints -= kBombBossDamage;
    HasBomb = false;
    Charge = 0;
  }
}

void TMyShip::Update(gfx::TSurface* target) {
  if (Game->Shield < 0) Game->Shield = 0;

  const uint32_t now = GetTickCount();
  if (TickPassed(now, WeaponTick, kWeaponSecond)) {
    --WeaponTime;
    WeaponTick = GetTickCount();
  }
  if (WeaponTime < 0) {
    Gun.WeaponKind = 0;
    Gun.Pattern = 0;
  }
  if (Gun.WeaponKind == 0) WeaponTime = kBasicWeaponTime;

  Steer();

  FrameTick = GetTickCount();
  if (TickPassed(FrameTick, FlameTick, kFlameInterval)) {
    FlameFrame = FlameFrame == 1 ? 0 : 1;
    FlameTick = GetTickCount();
  }

  const bool fire = Held(kCtlLeftCtrl | kCtlRightCtrl | kCtlMouseFire);
  if (fire && Playing()) Gun.Fire();
  Gun.Update(target);

  ClampToScreen();

  const int32_t frame = Bank * 2 + FlameFrame;
  if (IGamePainter* painter = PainterFor(target)) {
    painter->Ship(target, Bounds(frame * ShipSize.Width, 0, ShipSize.Width, ShipSize.Height), X, Y);
  }

  if (Playing() && Game->Energy <= 0) Explode();

  if (Charge < kFullCharge) ++Charge;
  const bool special = Held(kCtlSpace | kCtlMouseSpecial);
  if (Charge == kFullCharge && special && Playing()) FireSpecial();
}
