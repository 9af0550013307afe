// The six rows of the options page: Display, Music, Sound, the country box, Boss key and back.
// Unlike the button columns the selection stops at either end, and the pointer selects only
// after it has moved since the last key press.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/dd_button.h"
#include "graphics/dd_edit.h"

class TDDOptBtnCollection {
 public:
  // The fixed layout of the options page; the back row is current.
  TDDOptBtnCollection();

  // Once per frame on the options page: follows a moved pointer, marks the current row, draws
  // the highlights and the country box, and clicks when the row changed.
  void Draw(gfx::TSurface* target);
  // Down: the next row (not past the back row), with the click.
  void Next();
  // Up: the previous row (not before the first), with the direct MenuClick at its last pan and
  // volume.
  void Prev();
  // Enter or Space: triggers the current row and runs the menu command.
  void Choose();
  // Mouse press: Triggered = the pointer is on the country box or one of the buttons.
  void UpdateTriggered();

  std::array<TDDButton, 5> Buttons;  // rows 0, 1, 2, 4, 5
  TDDEdit Edit;                      // row 3
  int8_t PrevIndex = 0;
  int8_t ItemIndex = 0;
  bool Triggered = false;
  bool MouseMoved = false;
};
