// A game world on the fake platform without the window: image tables filled with plain
// surfaces of the pack's sizes (each slot its own colour), a seeded generator, a settable
// clock and a fresh Game.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>

#include "fakes/fake_platform.h"
#include "game/game.h"
#include "graphics/surface.h"

// The colour every pixel of SpriteImages[slot] has in the fixture.
uint32_t SpriteColour(int slot);
// The colour of ScreenImages[slot].
uint32_t ScreenColour(int slot);
// Fills the three image tables; every picture has its pack size and one colour.
void FillTestImages();
void ClearTestImages();

class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // One TGame::Update on the next 64 Hz tick with the held keys and the fake mouse, n times.
  void Frame(int n = 1);
  // Skips the intro: waits out the stage intro and leaves the game playing.
  void StartPlaying();
  // Holds or lets go of a key the ship polls, for the next frames and for objects stepped
  // directly.
  void Hold(uint8_t dikCode, bool held = true);
  void ReleaseAll();

  fake::FakePlatform fake;
  std::unique_ptr<gfx::TSurface> back;

 private:
  std::array<uint8_t, 256> keys_{};
};
