#include "shell/game_view.h"

#include <string>

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "game/game.h"
#include "game/my_ship.h"
#include "game/world_helpers.h"
#include "graphics/draw.h"
#include "graphics/images.h"

namespace {

constexpr uint32_t kGreen = 0x00FF00;
constexpr int kShipSprite = 8;

void Blit(gfx::TSurface* target, int32_t x, int32_t y, const gfx::TSurface* image,
          const gfx::Rect* source, uint32_t mode) {
  if (image) target->BltFast(x, y, *image, source, mode);
}

class TSurfacePainter final : public IGamePainter {
 public:
  void PrepareShip() override {
    if (gfx::SpriteImages[kShipSprite]) gfx::SpriteImages[kShipSprite]->SetColorKey(gfx::kMagenta);
  }

  void Sprite(gfx::TSurface* target, int32_t image, const platform::Rect& source, int32_t x,
              int32_t y) override {
    const gfx::TSurface* picture = gfx::SpriteImages[image].get();
    if (picture) gfx::DrawSprite(picture, target, source, static_cast<int16_t>(x), static_cast<int16_t>(y));
  }

  void WholeSprite(gfx::TSurface* target, int32_t image, int32_t x, int32_t y) override {
    const gfx::TSurface* picture = gfx::SpriteImages[image].get();
    if (picture) {
      gfx::DrawSprite(picture, target, {0, 0, picture->Width(), picture->Height()},
                      static_cast<int16_t>(x), static_cast<int16_t>(y));
    }
  }

  void Shot(gfx::TSurface* target, uint8_t kind, bool flipped, const platform::Rect& source,
            int32_t x, int32_t y) override {
    // Only the player's shot kinds have an upside-down picture.
    const gfx::TSurface* picture = flipped && kind < gfx::kFlippedShotCount
                                       ? gfx::FlippedShotImages[kind].get()
                                       : gfx::SpriteImages[22 + kind].get();
    if (picture) gfx::DrawSprite(picture, target, source, static_cast<int16_t>(x), static_cast<int16_t>(y));
  }

  void Ship(gfx::TSurface* target, const platform::Rect& source, int32_t x, int32_t y) override {
    if (gfx::SpriteImages[kShipSprite]) {
      target->BltFast(x, y, *gfx::SpriteImages[kShipSprite], &source, gfx::kBltWaitSrcKey);
    }
  }

  void Bar(gfx::TSurface* target, int32_t left, int32_t top, int32_t width, int32_t height,
           uint32_t rgb) override {
    gfx::FillRoundRect(left, top, width, height, rgb, target);
  }

  void Label(gfx::TSurface* target, int32_t x, int32_t y, int32_t fontHeight, int32_t fontWidth,
             const std::string& text, uint32_t rgb) override {
    gfx::DrawLabel(x, y, fontHeight, fontWidth, text, target, rgb);
  }

  void Hud(gfx::TSurface* target, const TGame& game) override {
    using gfx::ScreenImages;
    using gfx::SpriteImages;
    Blit(target, 0, 0, ScreenImages[21].get(), nullptr, gfx::kBltWaitSrcKey);
    Blit(target, 652, 37, ScreenImages[22].get(), nullptr, gfx::kBltWaitSrcKey);
    Blit(target, 80, 4, ScreenImages[20].get(), nullptr, gfx::kBltWaitSrcKey);
    // The marker climbs 190 px over a stage of any length.
    const int32_t markerY = 245 - RoundHalfEven(game.Distance * 0.038 / (game.Stage + 1));
    Blit(target, 760, markerY, ScreenImages[7].get(), nullptr, gfx::kBltWaitSrcKey);
    gfx::DrawLabel(315, 5, 18, 10, LevelText(game.Stage, game.StagePart), target, kGreen);
    gfx::DrawLabel(140, 5, 18, 10, std::to_string(game.Lives), target, kGreen);
    gfx::DrawTextAligned(533, 5, 18, 10, "Score", target, kGreen, 0);
    gfx::DrawTextAligned(720, 5, 18, 10, std::to_string(game.Score), target, kGreen, 2);

    // Both bars grow upward from y 454: energy 1 px per point, shield 2 px per point.
    const gfx::Rect energy = Bounds(0, kFullEnergy - game.Energy, 10, game.Energy);
    Blit(target, 780, 454 - game.Energy, SpriteImages[1].get(), &energy, gfx::kBltNoWaitSrcKey);
    const gfx::Rect shield = Bounds(0, kFullEnergy - 2 * game.Shield, 10, 2 * game.Shield);
    Blit(target, 747, 454 - 2 * game.Shield, SpriteImages[0].get(), &shield, gfx::kBltNoWaitSrcKey);

    const TMyShip& ship = *game.Ship;
    if (ship.HasWall) Blit(target, 733, 545, ScreenImages[39].get(), nullptr, gfx::kBltNoWait);
    if (ship.HasBomb) Blit(target, 670, 545, ScreenImages[40].get(), nullptr, gfx::kBltNoWait);
    switch (ship.Gun.WeaponKind) {
      case 0: Blit(target, 663, 518, SpriteImages[59].get(), nullptr, gfx::kBltWaitSrcKey); break;
      case 1: Blit(target, 663, 518, SpriteImages[56].get(), nullptr, gfx::kBltWaitSrcKey); break;
      case 3: Blit(target, 663, 518, SpriteImages[57].get(), nullptr, gfx::kBltWaitSrcKey); break;
      case 8: Blit(target, 663, 518, SpriteImages[55].get(), nullptr, gfx::kBltWaitSrcKey); break;
      case 5: Blit(target, 663, 508, SpriteImages[58].get(), nullptr, gfx::kBltWaitSrcKey); break;
      default: break;
    }
    gfx::DrawLabel(721, 521, 18, 10, "X " + std::to_string(ship.WeaponTime), target, kGreen);
  }
};

class TBankSounds final : public IGameSounds {
 public:
  void Effect(int32_t x, int32_t y, int32_t effect) override { PlaySound(x, y, effect); }
  void EffectDirect(int32_t effect) override { PlayEffectDirect(effect); }
  void StopMusic() override { ::StopMusic(); }
};

TSurfacePainter Painter;
TBankSounds Sounds;

}  // namespace

void InstallGameView() {
  GamePainter = &Painter;
  GameSounds = &Sounds;
}
