// The whole program on the fake platform with helpers for walking the menus: skipping the
// intro, pointing at widgets, and checking where a picture or a text landed in the frame.
#pragma once

#include <string>

#include "fakes/program_harness.h"
#include "graphics/draw.h"
#include "graphics/surface.h"

class MenuHarness : public ProgramHarness {
 protected:
  // A click anywhere ends the intro; the main menu is drawn once.
  void SkipIntro();
  // Moves the pointer onto the middle of r and draws a frame, so widgets follow it.
  void PointAt(const gfx::Rect& r);
  // PointAt, then a mouse press there.
  void ClickOn(const gfx::Rect& r);
  // Sends a window event that carries no data (focus, minimise, close...).
  void Notify(platform::WindowEvent::Kind kind);
  // Leaves the intro and opens a page of the main menu with the keys (item 0..5).
  void OpenMainMenuItem(int item);
};

// True when every opaque pixel of `picture` (the colour-key pixels skipped) is found at (x, y)
// of `frame`.
bool PictureAt(const gfx::TSurface& frame, const gfx::TSurface& picture, int32_t x, int32_t y);
// The top `rows` rows of a picture, with its colour key: the part of a panel or box that no
// text is drawn over.
gfx::TSurface TopRows(const gfx::TSurface& picture, int32_t rows);
// True when the fully covered pixels of the text, drawn left-top aligned at (x, y) in the
// face, are in `frame` in colour rgb (at least one such pixel exists). Antialiased edges are
// ignored, so the test does not depend on the background.
bool TextAt(const gfx::TSurface& frame, int32_t x, int32_t y, int32_t height, int32_t width,
            const std::string& text, uint32_t rgb, gfx::Face face = gfx::Face::Display);
