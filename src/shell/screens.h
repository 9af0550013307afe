// Composition of every screen into the back buffer, chosen by ScreenState.
#pragma once

#include "graphics/surface.h"

// Draws the screen of the current ScreenState into `back` (already cleared to black).
void DrawScreen(gfx::TSurface* back);
