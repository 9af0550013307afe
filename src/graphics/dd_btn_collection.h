// A column of buttons with one selected item: the main menu, the high-score page's buttons and
// the help pages' buttons. Keys move the selection with Next/Prev (wrapping); the pointer
// selects while the last input came from the mouse.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/dd_button.h"
#include "graphics/widget_layout.h"

class TDDBtnCollection {
 public:
  // Button i gets places[i]; item 0 is current but not yet highlighted (SetItemIndex(0) does
  // that, with its click).
  explicit TDDBtnCollection(std::span<const layout::ButtonPlace> places);

  // Once per frame while the page is shown: follows the pointer, draws the highlight of the
  // current item and clicks when the item changed.
  void Draw(gfx::TSurface* target);
  // Selects item i, wrapping past either end, and always clicks.
  void SetItemIndex(int32_t i);
  void Next() { SetItemIndex(ItemIndex + 1); }
  void Prev() { SetItemIndex(ItemIndex - 1); }
  // Mouse press: Triggered = the pointer is on one of the buttons.
  void UpdateTriggered();

  std::vector<TDDButton> Buttons;
  int8_t ItemIndex = 0;
  int8_t PrevIndex = 0;
  int8_t Count = 0;
  bool Triggered = false;

 private:
  int8_t Wrap(int32_t i) const;
};
