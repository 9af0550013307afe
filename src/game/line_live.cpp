#include "game/line_live.h"

#include "game/game_output.h"
#include "game/world_helpers.h"

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
  if (IGamePainter* painter = PainterFor(target)) {
    painter->Bar(target, *PX + 2, *PY - kGapAbove, Length(), kHeight, kLifeBarColour);
  }
  ++Counter;
  if (Counter > kShownDraws) {
    Counter = 0;
    Visible = false;
  }
}
