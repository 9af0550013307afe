// One hot spot of a menu page with its highlight picture. The normal look is part of the page
// background; the button draws only its highlight, while selected.
#pragma once

#include <cstdint>

#include "graphics/surface.h"

// Strictly inside r: the border lines do not count.
bool PointIn(const gfx::Rect& r, int32_t x, int32_t y);

class TDDButton {
 public:
  TDDButton() = default;
  TDDButton(const gfx::Rect& rect, uint8_t imageIndex) : Rect(rect), ImageIndex(imageIndex) {}

  // Colour-keyed copy of ScreenImages[ImageIndex] at the rectangle's top-left, when selected.
  void Draw(gfx::TSurface* target) const;
  bool Contains(int32_t x, int32_t y) const { return PointIn(Rect, x, y); }

  gfx::Rect Rect;
  bool Selected = false;
  uint8_t ImageIndex = 0;
};

// The widgets' click: MenuClick panned and attenuated by the pointer position (MouseX,
// MouseY), as every highlight change sounds, whether the mouse or a key moved it.
void PlayHighlightClick();
