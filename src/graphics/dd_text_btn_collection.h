// Two answers drawn as text, such as "Yes"/"No" and "Ok"/"Cancel". The pointer over a caption
// selects it on every frame, whatever the last input was.
#pragma once

#include <string>
#include <utility>

#include "graphics/surface.h"

class TDDTextBtnCollection {
 public:
  // The first caption is selected.
  TDDTextBtnCollection(const gfx::Rect& rect1, const gfx::Rect& rect2, std::string caption1,
                       std::string caption2)
      : Caption1(std::move(caption1)), Caption2(std::move(caption2)), Rect1(rect1), Rect2(rect2) {}

  // Once per frame on a question: follows the pointer, draws both captions (the selected one
  // bright) and clicks when the selection changed.
  void Draw(gfx::TSurface* target);
  // Left (true) / Right (false): always clicks.
  void SetFirstSelected(bool value);
  // Mouse press: Triggered = the pointer is on either caption.
  void UpdateTriggered();

  bool FirstSelected = true;
  std::string Caption1;
  std::string Caption2;
  gfx::Rect Rect1;
  gfx::Rect Rect2;
  bool Triggered = false;
};
