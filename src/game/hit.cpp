#include "game/hit.h"

#include "game/game_output.h"
#include "game/kind_tables.h"
#include "game/world_helpers.h"

namespace {
constexpr uint32_t kStepInterval = 30;  // ms per counter step, at most one step per frame
constexpr int kFirstHitSprite = 39;
}  // namespace

uint8_t THit::KindOfType(uint8_t hitType) {
  if (hitType <= 8) return hitType % 3;
  if (hitType <= 17) return 3 + hitType % 3;
  return 0;
}

THit::THit(uint8_t hitType, int16_t x, int16_t y, uint8_t slot, int8_t delay)
    : Kind(KindOfType(hitType)), Slot(slot), X(x), Y(y), Counter(delay) {}

bool THit::Update(gfx::TSurface* target) {
  // The frame shown is the one the counter stood at before this step's advance.
  const int16_t shown = Counter;
  const int32_t size = HitSizes[Kind];
  const platform::Rect source = Bounds(size * shown, 0, size, size);

  FrameTick = GetTickCount();
  if (TickPassed(FrameTick, StepTick, kStepInterval)) {
    ++Counter;
    StepTick = GetTickCount();
  }
  if (Counter < 0) return true;  // still waiting out its delay
  if (Counter >= kHitFrames) return false;
  // In the step where the delay runs out the frame before the advance is not a real one.
  IGamePainter* painter = PainterFor(target);
  if (shown >= 0 && painter) painter->Sprite(target, kFirstHitSprite + Kind, source, X, Y);
  return true;
}
