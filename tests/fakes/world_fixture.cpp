#include "fakes/world_fixture.h"

#include "game/kind_tables.h"
#include "game/random.h"
#include "graphics/images.h"
#include "shell/form.h"
#include "shell/program_state.h"

namespace {
struct Size {
  int32_t w, h;
};

Size StripSize(TKindSize frame, int frames) { return {frame.Width * frames, frame.Height}; }

Size SpriteSize(int slot) {
  if (slot <= 1) return {10, 124};
  if (slot == 2) return {512, 486};
  if (slot <= 7) return {300, 200};
  if (slot == 8) return {650, 100};
  if (slot == 9) return {800, 1};
  if (slot <= 18) return StripSize(EnemySizes[slot - 10], 1);
  if (slot <= 21) return StripSize(BossSizes[slot - 19], 1);
  if (slot <= 36) return StripSize(ShotSizes[slot - 22], ShotFrames[slot - 22]);
  if (slot <= 38) return StripSize(AsteroidSizes[slot - 37], 8);
  if (slot <= 44) return {HitSizes[slot - 39] * 16, HitSizes[slot - 39]};
  if (slot <= 53) return StripSize(BonusSizes[slot - 45], 8);
  return {40, 40};
}

Size ScreenSize(int slot) {
  if (slot == 0 || slot == 21) return {800, 600};
  if (slot == 7) return {20, 10};
  if (slot == 39 || slot == 40) return {50, 40};
  return {100, 30};
}
}  // namespace

uint32_t SpriteColour(int slot) { return 0x100000 + 0x0101 * static_cast<uint32_t>(slot + 1); }
uint32_t ScreenColour(int slot) { return 0x200000 + 0x0101 * static_cast<uint32_t>(slot + 1); }

void FillTestImages() {
  for (int i = 0; i < gfx::kSpriteCount; ++i) {
    const Size s = SpriteSize(i);
    gfx::SpriteImages[i] = std::make_unique<gfx::TSurface>(s.w, s.h);
    gfx::SpriteImages[i]->Fill(SpriteColour(i));
    gfx::SpriteImages[i]->SetColorKey(i >= 3 && i <= 7 ? gfx::kBlack : gfx::kMagenta);
  }
  for (int i = 0; i < gfx::kScreenImageCount; ++i) {
    const Size s = ScreenSize(i);
    gfx::ScreenImages[i] = std::make_unique<gfx::TSurface>(s.w, s.h);
    // The HUD frame covers the screen; keep it transparent so the world stays visible.
    gfx::ScreenImages[i]->Fill(i == 21 ? gfx::kMagenta : ScreenColour(i));
    gfx::ScreenImages[i]->SetColorKey(gfx::kMagenta);
  }
  for (int k = 0; k < gfx::kFlippedShotCount; ++k) {
    const Size s = SpriteSize(22 + k);
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
    Game->Update(back.get());
  }
}

void WorldTest::StartPlaying() {
  for (int i = 0; i < 400 && Game->Status != gsPlaying; ++i) Frame();
  ASSERT_EQ(Game->Status, gsPlaying);
}

void WorldTest::Hold(uint8_t dikCode, bool held) { KeyState[dikCode] = held ? 0x80 : 0; }
