#include "fakes/world_fixture.h"

#include "fakes/test_pack.h"
#include "game/random.h"
#include "graphics/images.h"
#include "game/frame_input.h"
#include "shell/program_state.h"

uint32_t SpriteColour(int slot) { return 0x100000 + 0x0101 * static_cast<uint32_t>(slot + 1); }
uint32_t ScreenColour(int slot) { return 0x200000 + 0x0101 * static_cast<uint32_t>(slot + 1); }

void FillTestImages() {
  for (int i = 0; i < gfx::kSpriteCount; ++i) {
    const testpack::Size s = testpack::TestPackSize(i);
    gfx::SpriteImages[i] = std::make_unique<gfx::TSurface>(s.w, s.h);
    gfx::SpriteImages[i]->Fill(SpriteColour(i));
    gfx::SpriteImages[i]->SetColorKey(i >= 3 && i <= 7 ? gfx::kBlack : gfx::kMagenta);
  }
  for (int i = 0; i < gfx::kScreenImageCount; ++i) {
    const testpack::Size s = testpack::TestPackSize(gfx::kSpriteCount + i);
    gfx::ScreenImages[i] = std::make_unique<gfx::TSurface>(s.w, s.h);
    // The HUD frame covers the screen; keep it transparent so the world stays visible.
    gfx::ScreenImages[i]->Fill(i == 21 ? gfx::kMagenta : ScreenColour(i));
    gfx::ScreenImages[i]->SetColorKey(gfx::kMagenta);
  }
  for (int k = 0; k < gfx::kFlippedShotCount; ++k) {
    const testpack::Size s = testpack::TestPackSize(22 + k);
    gfx::FlippedShotImages[k] = std::make_unique<gfx::TSurface>(s.w, s.h);
    gfx::FlippedShotImages[k]->Fill(SpriteColour(22 + k));
    gfx::FlippedShotImages[k]->SetColorKey(gfx::kMagenta);
  }
}

void ClearTestImages() {
  for (auto& s : gfx::SpriteImages) s.reset();
  for (auto& s : gfx::ScreenImages) s.reset();
  for (auto& s : gfx::FlippedShotImages) s.reset();
}

void WorldTest::SetUp() {
  ResetProgramState();
  platform::SetServices(fake.Services());
  fake.clock.Mirror(&FrameInput.Tick);
  fake.input.mouseAcquired = true;  // as the window's input set-up leaves it
  FillTestImages();
  Randomize(7);
  back = std::make_unique<gfx::TSurface>(800, 600);
  Game = std::make_unique<TGame>();
}

void WorldTest::TearDown() {
  Game.reset();
  ClearTestImages();
  platform::SetServices({});
}

void WorldTest::Frame(int n) {
  for (int i = 0; i < n; ++i) {
    fake.clock.NextTick();
    // As the shell does: the held keys and the mouse device's motion and buttons.
    uint8_t mouse[20] = {};
    fake.input.ReadMouse(mouse);
    Game->Update({fake.clock.now, ControlsFromDevices(keys_, mouse)}, back.get());
  }
}

void WorldTest::StartPlaying() {
  for (int i = 0; i < 400 && Game->Status != gsPlaying; ++i) Frame();
  ASSERT_EQ(Game->Status, gsPlaying);
}

void WorldTest::Hold(uint8_t dikCode, bool held) {
  keys_[dikCode] = held ? 0x80 : 0;
  const uint8_t still[20] = {};
  FrameInput.Controls = ControlsFromDevices(keys_, still);
}

void WorldTest::ReleaseAll() {
  keys_.fill(0);
  FrameInput.Controls = 0;
}
