// Composition of every screen into the back buffer, chosen by ScreenState. Called once per
// drawn frame by TForm1::RenderFrame, after the back buffer was cleared to black.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/surface.h"

// Shared by the intro's logo slide and the bonus page's animation: the intro adds 3 per frame
// and resets it to 0 when it ends; the bonus page adds 1 per frame and wraps after 80.
extern uint32_t AnimCounter;

// Draws the screen of the current ScreenState into `back`. States without a picture of their
// own leave it black.
void DrawScreen(gfx::TSurface* back);

// Pages whose picture follows from the program's state alone (no animation, no blinking
// caret, no clock): drawn twice with nothing changed in between, they come out the same.
bool IsStillPage(int32_t state);

// Pieces the screens are built from (also used by the help pages).
// Copies the whole of ScreenImages[slot] to (x, y), colour-keyed or opaque; returns the copy's
// result, -1 when the picture is missing.
int32_t CopyScreenImage(gfx::TSurface* back, int slot, int32_t x, int32_t y, bool keyed);
// Background, logo and the header's right part.
void DrawMenuHeader(gfx::TSurface* back);

// Interface colours.
inline constexpr uint32_t kGreen = 0x00FF00;
inline constexpr uint32_t kDarkGreen = 0x228822;
inline constexpr uint32_t kRed = 0xFF0000;

// ScreenState back to the intro, AnimCounter to 0.
void ResetScreenState();
