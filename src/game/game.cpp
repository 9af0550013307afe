#include "game/game.h"

#include <algorithm>
#include <cstring>

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "game/asteroid.h"
#include "game/base_boss.h"
#include "game/bonus.h"
#include "game/enemy_engine.h"
#include "game/gunner.h"
#include "game/hit.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "game/run_background.h"
#include "game/world_helpers.h"
#include "graphics/draw.h"
#include "graphics/images.h"
#include "persistence/config.h"
#include "persistence/hiscores.h"
#include "shell/form.h"
#include "shell/screen_state.h"

std::unique_ptr<TGame> Game;
uint8_t MaxEnemyIndex = 0;
TMouseState MouseState;

namespace {
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kStatusDelay = 2000;  // ms of the stage intro and of "Game Over"
constexpr int32_t kStageLengthUnit = 5000;  // scroll steps per (Stage + 1)
constexpr uint8_t kFarKind = 2;
constexpr uint16_t kFarInterval = 15;
constexpr uint8_t kFirstNearKind = 3;
constexpr uint16_t kNearInterval = 1;
constexpr int16_t kParkX = 390, kParkY = 500;

platform::Platform& Os() { return platform::Services(); }

void Blit(gfx::TSurface* target, int32_t x, int32_t y, const gfx::TSurface* image,
          const gfx::Rect* source, uint32_t mode) {
  if (image) target->BltFast(x, y, *image, source, mode);
}
}  // namespace

std::string LevelText(uint8_t stage, uint8_t stagePart) {
  return "Level " + std::to_string((stage - 1) / 3 + 1) + "-" + std::to_string(stagePart);
}

void ResetGameState() {
  Game.reset();
  MaxEnemyIndex = 0;
  MouseState = {};
}

TGame::TGame() {
  Os().display->ShowCursor(false);
  MaxEnemyIndex = kTableSize - 1;
  Ship = std::make_unique<TMyShip>();
  FarBackground = std::make_unique<TRunBackground>(0, 0, kFarKind, kFarInterval);
  NearBackground = std::make_unique<TRunBackground>(
      0, 0, static_cast<uint8_t>(kFirstNearKind + Random(5)), kNearInterval);
  StatusTick = GetTickCount();
  Engine = std::make_unique<TEnemyEngine>();
}

TGame::~TGame() {
  for (auto& hit : Hits) hit.reset();
  for (auto& asteroid : Asteroids) asteroid.reset();
  for (auto& bonus : Bonuses) bonus.reset();
  Ship.reset();
  NearBackground.reset();
  FarBackground.reset();
  Engine.reset();
}

void TGame::NextStage() {
  ++Stage;
  StagePart = Stage % 3 == 0 ? 3 : Stage % 3;
  Status = gsBetweenStages;
}

uint8_t TGame::StageCycle() const {
  uint8_t cycle = Stage;
  while (cycle > 9) cycle %= 10;
  return cycle == 0 ? 10 : cycle;
}

uint8_t TGame::PickKindWeighted(uint8_t a, uint8_t b) const {
  const int32_t r = Random(100);
  if (r <= a) return static_cast<uint8_t>(Random(3));
  if (r < a + b) return static_cast<uint8_t>(3 + Random(3));
  return static_cast<uint8_t>(6 + Random(3));
}

uint8_t TGame::PickEnemyKind() const {
  const uint8_t limit = StageCycle();
  uint8_t kind;
  do {
    kind = PickKindWeighted(70, 10);
  } while (kind >= limit);
  return kind;
}

uint8_t TGame::BossKind() const {
  const int32_t kind = StageCycle() / 3 - 1;
  // Cycles 1 and 2 (stages 12, 21, ...) have no boss of their own; they still get one.
  if (kind < 0) return static_cast<uint8_t>((Stage / 3 - 1) % 3);
  return static_cast<uint8_t>(kind);
}

void TGame::AddHit(int32_t x, int32_t y, uint8_t hitType, int8_t delay) {
  const uint8_t slot = LowestFreeSlot(Hits);
  if (slot == kNoSlot) return;
  PlaySound(x, y, sfxHit);
  Hits[slot] = std::make_unique<THit>(hitType, static_cast<int16_t>(x), static_cast<int16_t>(y),
                                      slot, delay);
}

void TGame::DrawBackgrounds(gfx::TSurface* target) {
  FarBackground->Draw(target);
  NearBackground->Draw(target);
}

void TGame::StepHits(gfx::TSurface* target) {
  for (auto& hit : Hits) {
    if (hit && !hit->Update(target)) hit.reset();
  }
}

void TGame::Update(gfx::TSurface* target) {
  uint8_t mouse[sizeof(TMouseState)] = {};
  if (Os().input) Os().input->ReadMouse(mouse);
  std::memcpy(&MouseState, mouse, sizeof mouse);
  if (Form1 && Form1->FMouseActive) {
    // Keep the pointer away from the window edges so that relative motion never stops.
    const platform::Rect window = Os().display->WindowRect();
    const platform::Point client = Os().display->ClientOrigin();
    Os().display->SetCursorPos(window.left + 200 - client.x, window.top + 200 - client.y);
  }
  switch (Status) {
    case gsBetweenStages: UpdateBetweenStages(target); break;
    case gsStageIntro: UpdateStageIntro(target); break;
    case gsPlaying: UpdatePlaying(target); break;
    case gsGameOver: UpdateGameOver(target); break;
    default: break;
  }
}

void TGame::UpdateBetweenStages(gfx::TSurface* target) {
  FrameTick = GetTickCount();
  DrawBackgrounds(target);
  Ship->Update(target);
  StepHits(target);
  DrawHud(target);
  const bool noHits = std::all_of(Hits.begin(), Hits.end(), [](const auto& hit) { return !hit; });
  if (noHits) {
    Status = gsStageIntro;
    PlaySound(400, 100, sfxNewStage);
    StatusTick = GetTickCount();
  }
}

void TGame::UpdateStageIntro(gfx::TSurface* target) {
  FrameTick = GetTickCount();
  Distance = 0;
  Ship->X = kParkX;
  Ship->Y = kParkY;
  DrawBackgrounds(target);
  Ship->Update(target);
  gfx::DrawLabel(310, 300, 32, 20, LevelText(Stage, StagePart), target, kGreen);
  if (TickPassed(FrameTick, StatusTick, kStatusDelay)) {
    Status = gsPlaying;
    Engine->ClearAll();
    Energy = kFullEnergy;
    if (StagePart == 3) Engine->Boss = std::make_unique<TBaseBoss>(BossKind());
  }
  DrawHud(target);
}

void TGame::UpdatePlaying(gfx::TSurface* target) {
  if (Distance >= (Stage + 1) * kStageLengthUnit) NextStage();
  FrameTick = GetTickCount();
  DrawBackgrounds(target);
  Ship->Update(target);
  Engine->Update(target);
  for (auto& bonus : Bonuses) {
    if (bonus && !bonus->Update(target)) bonus.reset();
  }
  for (auto& asteroid : Asteroids) {
    if (asteroid && !asteroid->Update(target)) asteroid.reset();
  }
  StepHits(target);
  DrawHud(target);
  if (Lives == 0) {
    StopMusic();
    Status = gsGameOver;
    PlayEffectDirect(sfxLaser1);
    StatusTick = GetTickCount();
  }
}

void TGame::UpdateGameOver(gfx::TSurface* target) {
  FrameTick = GetTickCount();
  DrawBackgrounds(target);
  gfx::DrawLabel(310, 300, 32, 20, "Game Over", target, kGreen);
  DrawHud(target);
  if (TickPassed(FrameTick, StatusTick, kStatusDelay)) {
    ScreenState = ssMainMenu;
    Os().display->ShowCursor(true);
    if (ScoreQualifies(Score)) {
      if (Form1 && Form1->FSnapshot) Form1->FSnapshot->BltFast(0, 0, *target, nullptr, gfx::kBltWait);
      ScreenState = ssNameEntry;
    }
    if (Settings.Music) PlaySong("1.xm");
    StatusTick = GetTickCount();
  }
}

void TGame::DrawHud(gfx::TSurface* target) {
  using gfx::ScreenImages;
  using gfx::SpriteImages;
  Blit(target, 0, 0, ScreenImages[21].get(), nullptr, gfx::kBltWaitSrcKey);
  Blit(target, 652, 37, ScreenImages[22].get(), nullptr, gfx::kBltWaitSrcKey);
  Blit(target, 80, 4, ScreenImages[20].get(), nullptr, gfx::kBltWaitSrcKey);
  // The marker climbs 190 px over a stage of any length.
  const int32_t markerY = 245 - RoundHalfEven(Distance * 0.038 / (Stage + 1));
  Blit(target, 760, markerY, ScreenImages[7].get(), nullptr, gfx::kBltWaitSrcKey);
  gfx::DrawLabel(315, 5, 18, 10, LevelText(Stage, StagePart), target, kGreen);
  gfx::DrawLabel(140, 5, 18, 10, std::to_string(Lives), target, kGreen);
  gfx::DrawTextAligned(533, 5, 18, 10, "Score", target, kGreen, 0);
  gfx::DrawTextAligned(720, 5, 18, 10, std::to_string(Score), target, kGreen, 2);

  // Both bars grow upward from y 454: energy 1 px per point, shield 2 px per point.
  const gfx::Rect energy = Bounds(0, kFullEnergy - Energy, 10, Energy);
  Blit(target, 780, 454 - Energy, SpriteImages[1].get(), &energy, gfx::kBltNoWaitSrcKey);
  const gfx::Rect shield = Bounds(0, kFullEnergy - 2 * Shield, 10, 2 * Shield);
  Blit(target, 747, 454 - 2 * Shield, SpriteImages[0].get(), &shield, gfx::kBltNoWaitSrcKey);

  if (Ship->HasWall) Blit(target, 733, 545, ScreenImages[39].get(), nullptr, gfx::kBltNoWait);
  if (Ship->HasBomb) Blit(target, 670, 545, ScreenImages[40].get(), nullptr, gfx::kBltNoWait);
  switch (Ship->Gun.WeaponKind) {
    case 0: Blit(target, 663, 518, SpriteImages[59].get(), nullptr, gfx::kBltWaitSrcKey); break;
    case 1: Blit(target, 663, 518, SpriteImages[56].get(), nullptr, gfx::kBltWaitSrcKey); break;
    case 3: Blit(target, 663, 518, SpriteImages[57].get(), nullptr, gfx::kBltWaitSrcKey); break;
    case 8: Blit(target, 663, 518, SpriteImages[55].get(), nullptr, gfx::kBltWaitSrcKey); break;
    case 5: Blit(target, 663, 508, SpriteImages[58].get(), nullptr, gfx::kBltWaitSrcKey); break;
    default: break;
  }
  gfx::DrawLabel(721, 521, 18, 10, "X " + std::to_string(Ship->WeaponTime), target, kGreen);
}
