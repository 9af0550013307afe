// A player for scenario tests: looks at the game world every frame and chooses the keys to
// hold — fire always, dodge what would hit the ship in the next frames, line up under the
// nearest enemy or the boss, pick up bonuses when it is safe, and fire the specials.
#pragma once

#include <array>
#include <cstdint>

class TGame;

class Autopilot {
 public:
  // From stage `giveUpStage` on the pilot stops dodging and steers into the enemy instead, so
  // that a test reaches "Game Over" soon after what it wanted to see.
  explicit Autopilot(uint8_t giveUpStage = 255) : giveUpStage_(giveUpStage) {}

  // The DirectInput key state to hold during the next frame (0x80 for held keys).
  std::array<uint8_t, 256> Decide(const TGame& game);

 private:
  uint8_t giveUpStage_;
};
