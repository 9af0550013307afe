#include "graphics/dd_text_btn_collection.h"

#include "graphics/dd_button.h"
#include "graphics/draw.h"
#include "shell/input.h"

namespace {

constexpr uint32_t kSelectedColour = 0x00FF00;
constexpr uint32_t kOtherColour = 0x228822;
constexpr int32_t kCaptionHeight = 46;
constexpr int32_t kCaptionWidth = 20;

}  // namespace

void TDDTextBtnCollection::Draw(gfx::TSurface* target) {
  const bool before = FirstSelected;
  if (PointIn(Rect1, MouseX, MouseY)) FirstSelected = true;
  if (PointIn(Rect2, MouseX, MouseY)) FirstSelected = false;
  gfx::DrawLabel(Rect1.left, Rect1.top, kCaptionHeight, kCaptionWidth, Caption1, target,
                 FirstSelected ? kSelectedColour : kOtherColour);
  gfx::DrawLabel(Rect2.left, Rect2.top, kCaptionHeight, kCaptionWidth, Caption2, target,
                 FirstSelected ? kOtherColour : kSelectedColour);
  if (FirstSelected != before) PlayHighlightClick();
}

void TDDTextBtnCollection::SetFirstSelected(bool value) {
  PlayHighlightClick();
  FirstSelected = value;
}

void TDDTextBtnCollection::UpdateTriggered() {
  Triggered = PointIn(Rect1, MouseX, MouseY) || PointIn(Rect2, MouseX, MouseY);
}
