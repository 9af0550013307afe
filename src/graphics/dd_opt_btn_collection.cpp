#include "graphics/dd_opt_btn_collection.h"

#include "graphics/widget_layout.h"
#include "shell/input.h"
#include "shell/menu_commands.h"

namespace {

// Buttons[b] stands for row kButtonRows[b]; row 3 is the text box.
constexpr std::array<int8_t, 5> kButtonRows{0, 1, 2, 4, 5};

}  // namespace

TDDOptBtnCollection::TDDOptBtnCollection() {
  for (size_t b = 0; b < Buttons.size(); ++b) {
    Buttons[b] = TDDButton(layout::kOptionRows[kButtonRows[b]], layout::kOptionButtonImages[b]);
  }
  Edit.Rect = layout::kOptionRows[layout::kCountryRow];
  ItemIndex = layout::kBackRow;
}

void TDDOptBtnCollection::Draw(gfx::TSurface* target) {
  PrevIndex = ItemIndex;
  if (MouseMoved) {
    for (int8_t row = 0; row < layout::kOptionRowCount; ++row) {
      if (PointIn(layout::kOptionRows[row], MouseX, MouseY)) ItemIndex = row;
    }
  }
  for (TDDButton& b : Buttons) b.Selected = false;
  Edit.Focused = false;
  if (ItemIndex == layout::kCountryRow) {
    Edit.Focused = true;
  } else {
    for (size_t b = 0; b < Buttons.size(); ++b) {
      if (kButtonRows[b] == ItemIndex) Buttons[b].Selected = true;
    }
  }
  for (const TDDButton& b : Buttons) b.Draw(target);
  Edit.Draw(target);
  if (ItemIndex != PrevIndex) PlayHighlightClick();
}

void TDDOptBtnCollection::Next() {
  MouseMoved = false;
  if (ItemIndex < layout::kBackRow) ++ItemIndex;
  PlayHighlightClick();
}

void TDDOptBtnCollection::Prev() {
  MouseMoved = false;
  if (ItemIndex > 0) --ItemIndex;
  Click();
}

void TDDOptBtnCollection::Choose() {
  Triggered = true;
  MenuCommand();
}

void TDDOptBtnCollection::UpdateTriggered() {
  Triggered = false;
  for (const gfx::Rect& r : layout::kOptionRows) {
    if (PointIn(r, MouseX, MouseY)) Triggered = true;
  }
}
