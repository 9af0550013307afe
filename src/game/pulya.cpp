#include "game/pulya.h"

#include <numbers>

#include "game/kind_tables.h"
#include "game/world_helpers.h"
#include "graphics/draw.h"
#include "graphics/images.h"

TPulya::TPulya(uint8_t kind, float x, float y, double angle)
    : Kind(kind), Y(y), X(x), Angle(angle), AnimTick(GetTickCount()) {}

void TPulya::Update(gfx::TSurface* target, bool flipped) {
  const uint8_t frames = ShotFrames[Kind];
  if (frames > 1 && TickPassed(GetTickCount(), AnimTick, 200)) {
    ++Frame;
    AnimTick = GetTickCount();
  }
  if (Frame >= frames) Frame = 0;

  const TKindSize size = ShotSizes[Kind];
  // Only the player's shot kinds have an upside-down picture.
  const gfx::TSurface* image = flipped && Kind < gfx::kFlippedShotCount
                                   ? gfx::FlippedShotImages[Kind].get()
                                   : gfx::SpriteImages[22 + Kind].get();
  if (image) {
    const int32_t left = size.Width * Frame;
    gfx::DrawSprite(image, target, {left, 0, left + size.Width, size.Height},
                    static_cast<int16_t>(RoundHalfEven(X)), static_cast<int16_t>(RoundHalfEven(Y)));
  }

  const double heading = Angle + std::numbers::pi / 2;
  X = static_cast<float>(X + std::cos(heading) * ShotSpeeds[Kind]);
  Y = static_cast<float>(Y + std::sin(heading) * ShotSpeeds[Kind]);
}
