#include "graphics/dd_button.h"

#include "audio/sound_bank.h"
#include "graphics/draw.h"
#include "graphics/images.h"
#include "shell/input.h"

void TDDButton::Draw(gfx::TSurface* target) const {
  if (!Selected || !target) return;
  const gfx::TSurface* picture = gfx::ScreenImages[ImageIndex].get();
  if (picture) target->BltFast(Rect.left, Rect.top, *picture, nullptr, gfx::kBltWaitSrcKey);
}

bool PointIn(const gfx::Rect& r, int32_t x, int32_t y) {
  return gfx::PointInRect(r.left, r.top, r.right, r.bottom, x, y);
}

void PlayHighlightClick() { PlaySound(MouseX, MouseY, sfxMenuClick); }
