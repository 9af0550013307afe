#include "game/game.h"

#include <algorithm>
#include <cstring>

#include "audio/sound_bank.h"
#include "game/asteroid.h"
#include "game/base_boss.h"
#include "game/bonus.h"
#include "game/enemy_engine.h"
#include "game/frame_input.h"
#include "game/game_output.h"
#include "game/gunner.h"
#include "game/hit.h"
#include "game/kind_tables.h"
#include "game/my_ship.h"
#include "game/random.h"
#include "game/run_background.h"
#include "game/world_helpers.h"

std::unique_ptr<TGame> Game;
uint8_t MaxEnemyIndex = 0;
IGamePainter* GamePainter = nullptr;
IGameSounds* GameSounds = nullptr;

namespace {
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kStatusDelay = 2000;  // ms of the stage intro and of "Game Over"
constexpr int32_t kStageLengthUnit = 5000;  // scroll steps per (Stage + 1)
constexpr uint8_t kFarKind = 2;
constexpr uint16_t kFarInterval = 15;
constexpr uint8_t kFirstNearKind = 3;
constexpr uint16_t kNearInterval = 1;
constexpr int16_t kParkX = 390, kParkY = 500;

void Label(gfx::TSurface* target, const std::string& text) {
  if (IGamePainter* painter = PainterFor(target)) painter->Label(target, 310, 300, 32, 20, text, kGreen);
}
}  // namespace

std::string LevelText(uint8_t stage, uint8_t stagePart) {
  return "Level " + std::to_string((stage - 1) / 3 + 1) + "-" + std::to_string(stagePart);
}

void ResetGameState() {
  Game.reset();
  MaxEnemyIndex = 0;
  FrameInput = {};
}

TGame::TGame() { Setup(); }

TGame::TGame(uint32_t seed, uint32_t startTick) {
  Randomize(seed);
  FrameInput = {startTick, 0};
  Setup();
}

void TGame::Setup() {
  if (GamePainter) GamePainter->PrepareShip();
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
  GameSound(x, y, sfxHit);
  Hits[slot] = std::make_unique<THit>(hitType, static_cast<int16_t>(x), static_cast<int16_t>(y),
                                      slot, delay);
}

void TGame::DrawHud(gfx::TSurface* target) {
  if (IGamePainter* painter = PainterFor(target)) painter->Hud(target, *this);
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

void TGame::Update(const TFrameInput& input, gfx::TSurface* target) {
  FrameInput = input;
  if (input.Controls & kCtlQuit) Status = gsGameOver;
  ++Frames;
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
    GameSound(400, 100, sfxNewStage);
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
  Label(target, LevelText(Stage, StagePart));
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
    if (GameSounds) GameSounds->StopMusic();
    Status = gsGameOver;
    if (GameSounds) GameSounds->EffectDirect(sfxLaser1);
    StatusTick = GetTickCount();
  }
}

void TGame::UpdateGameOver(gfx::TSurface* target) {
  FrameTick = GetTickCount();
  DrawBackgrounds(target);
  Label(target, "Game Over");
  DrawHud(target);
  if (TickPassed(FrameTick, StatusTick, kStatusDelay)) {
    Finished = true;
    StatusTick = GetTickCount();
  }
}
