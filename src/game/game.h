// One game, from the first stage to "Game Over": stages and levels, score, lives, energy and
// shield, the status machine and the head-up display. Owns the player ship, the enemy wave
// generator (which owns the enemies and the boss), both background layers and the tables of
// explosions, asteroids and bonuses.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "game/frame_input.h"

namespace gfx {
class TSurface;
}

class TMyShip;
class TEnemyEngine;
class THit;
class TAsteroid;
class TBonus;
class TRunBackground;

// Game statuses (TGame::Status).
enum : uint8_t {
  gsStageIntro = 0,
  gsPlaying = 1,
  gsGameOver = 3,
  gsBetweenStages = 255,
};

inline constexpr int kTableSize = 20;
inline constexpr int16_t kFullEnergy = 124;
inline constexpr int16_t kFullShield = 62;

class TGame {
 public:
  // Stage 1 with three lives; the first frame goes straight to the stage intro. The generator
  // and the clock go on from where they stand (FrameInput.Tick is the time).
  TGame();
  // A recorded game: the generator seeded with `seed`, started at tick `startTick`. Feeding
  // the same frame inputs to a game made with the same two values plays the same game.
  TGame(uint32_t seed, uint32_t startTick);
  ~TGame();
  TGame(const TGame&) = delete;
  TGame& operator=(const TGame&) = delete;

  // One frame (called by the shell while the screen is ssPlaying, and by the replay player):
  // takes the frame's input, steps the world by the current status and, when `target` is not
  // null and a painter is installed, draws it and the HUD into `target`.
  void Update(const TFrameInput& input, gfx::TSurface* target);
  // Stage + 1 and the boss-stage counter; the game waits between stages. Called when the
  // stage's distance is covered and when a boss is destroyed.
  void NextStage();
  // Stage folded into 1..10 (11 gives 1, 20 gives 10).
  uint8_t StageCycle() const;
  // A kind 0..8 from one Random(100) draw: up to a gives 0..2, below a + b gives 3..5, the
  // rest 6..8.
  uint8_t PickKindWeighted(uint8_t a, uint8_t b) const;
  // An enemy kind available at this stage (below StageCycle).
  uint8_t PickEnemyKind() const;
  // The boss kind of the current boss stage, 0..2.
  uint8_t BossKind() const;
  // An explosion of hit type 0..17 at (x, y), starting after -delay counter steps, with the
  // "Hit" sound; nothing at all when the 20 explosion slots are full.
  void AddHit(int32_t x, int32_t y, uint8_t hitType, int8_t delay);
  void DrawHud(gfx::TSurface* target);

  // Set by the frame in which "Game Over" has been shown long enough: the game is over and the
  // shell moves on (name entry or main menu). Nothing steps the game after that.
  bool Finished = false;
  // Frames stepped so far.
  uint32_t Frames = 0;
  uint8_t Stage = 1;
  uint8_t StagePart = 1;  // 1..3; 3 is the boss stage
  int32_t Score = 0;
  int32_t Distance = 0;   // scroll steps since the stage began
  std::unique_ptr<TMyShip> Ship;
  std::unique_ptr<TEnemyEngine> Engine;
  std::array<std::unique_ptr<THit>, kTableSize> Hits;
  std::array<std::unique_ptr<TAsteroid>, kTableSize> Asteroids;
  std::array<std::unique_ptr<TBonus>, kTableSize> Bonuses;
  std::unique_ptr<TRunBackground> NearBackground;
  std::unique_ptr<TRunBackground> FarBackground;
  uint8_t Status = gsBetweenStages;
  uint32_t FrameTick = 0;
  uint32_t StatusTick = 0;
  int16_t Lives = 3;
  int16_t Energy = kFullEnergy;
  int16_t Shield = 0;

 private:
  void Setup();
  void UpdateBetweenStages(gfx::TSurface* target);
  void UpdateStageIntro(gfx::TSurface* target);
  void UpdatePlaying(gfx::TSurface* target);
  void UpdateGameOver(gfx::TSurface* target);
  void DrawBackgrounds(gfx::TSurface* target);
  void StepHits(gfx::TSurface* target);
};

// The current game, or none. Kept after game over for the name entry and the submission.
extern std::unique_ptr<TGame> Game;
// Highest usable enemy slot; every game sets it to 19.
extern uint8_t MaxEnemyIndex;

// "Level <level>-<part>" for the intro and the HUD.
std::string LevelText(uint8_t stage, uint8_t stagePart);

// Puts the game globals back to their start-up values (no game).
void ResetGameState();
