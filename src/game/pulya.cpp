#include "game/pulya.h"

#include "game/game_output.h"
#include "game/kind_tables.h"
#include "game/world_math.h"
#include "game/world_helpers.h"

TPulya::TPulya(uint8_t kind, float x, float y, double angle)
    : Kind(kind), Y(y), X(x), Angle(angle), AnimTick(GetTickCount()) {}

void TPulya::Update(gfx::TSurface* target, bool flipped) {
  const uint8_t frames = ShotFrames[Kind];
  if (frames > 1 && TickPassed(GetTickCount(), AnimTick, 200)) {
    ++Frame;
    AnimTick = GetTickCount();
  }
  if (Frame >= frames) Frame = 0;

  if (IGamePainter* painter = PainterFor(target)) {
    const TKindSize size = ShotSizes[Kind];
    const int32_t left = size.Width * Frame;
    painter->Shot(target, Kind, flipped, {left, 0, left + size.Width, size.Height},
                  static_cast<int16_t>(RoundHalfEven(X)), static_cast<int16_t>(RoundHalfEven(Y)));
  }

  const TDirection step = ShotDirection(Angle);
  X = static_cast<float>(X + step.Cos * ShotSpeeds[Kind]);
  Y = static_cast<float>(Y + step.Sin * ShotSpeeds[Kind]);
}
