#include "graphics/dd_btn_collection.h"

#include "shell/form.h"
#include "shell/input.h"

TDDBtnCollection::TDDBtnCollection(std::span<const layout::ButtonPlace> places) {
  for (const layout::ButtonPlace& place : places) Buttons.emplace_back(place.rect, place.image);
  Count = static_cast<int8_t>(Buttons.size());
}

int8_t TDDBtnCollection::Wrap(int32_t i) const {
  if (i > Count - 1) return 0;
  if (i < 0) return static_cast<int8_t>(Count - 1);
  return static_cast<int8_t>(i);
}

void TDDBtnCollection::SetItemIndex(int32_t i) {
  const int8_t next = Wrap(i);
  if (ItemIndex >= 0 && ItemIndex < Count) Buttons[ItemIndex].Selected = false;
  Buttons[next].Selected = true;
  ItemIndex = next;
  PlayHighlightClick();
}

void TDDBtnCollection::Draw(gfx::TSurface* target) {
  PrevIndex = ItemIndex;
  // A pointer resting on a button must not undo a selection made with the keys.
  if (Form1 && Form1->FMouseActive) {
    for (int8_t i = 0; i < Count; ++i) {
      if (Buttons[i].Contains(MouseX, MouseY)) ItemIndex = i;
    }
  }
  ItemIndex = Wrap(ItemIndex);
  Buttons[ItemIndex].Draw(target);
  if (ItemIndex != PrevIndex) {
    PlayHighlightClick();
    if (PrevIndex >= 0 && PrevIndex < Count) Buttons[PrevIndex].Selected = false;
    // The newly reached button shows its highlight from the next frame on.
    Buttons[ItemIndex].Selected = true;
  }
}

void TDDBtnCollection::UpdateTriggered() {
  Triggered = false;
  for (const TDDButton& b : Buttons) {
    if (b.Contains(MouseX, MouseY)) Triggered = true;
  }
}
