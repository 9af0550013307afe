#include "game/line_live.h"

#include "game/world_helpers.h"
#include "graphics/draw.h"

namespace {
constexpr uint16_t kShownDraws = 100;  // the bar hides after this many draws and one more
constexpr int32_t kGapAbove = 10;
constexpr int32_t kHeight = 3;
}  // namespace

TLineLive::TLineLive(const int16_t& x, const int16_t& y, const int32_t& hitPoints,
                     int32_t fullHitPoints, int32_t width)
    : PX(&x),
      PY(&y),
      PHitPoints(&hitPoints),
      Scale(fullHitPoints != 0 ? static_cast<float>(width) / static_cast<float>(fullHitPoints)
                               : 0.0f) {}

int32_t TLineLive::Length() const {
  return RoundHalfEven(static_cast<double>(*PHitPoints) * static_cast<double>(Scale));
}

void TLineLive::Draw(gfx::TSurface* target) {
  gfx::FillRoundRect(*PX + 2, *PY - kGapAbove, Length(), kHeight, kLifeBarColour, target);
  ++Counter;
  if (Counter > kShownDraws) {
    Counter = 0;
    Visible = false;
  }
}
