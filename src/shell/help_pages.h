// The four help pages: overview, the animated bonus page, controls and about. Each is drawn
// inside the help frame (menu header, the three bottom buttons, "HELP" and the page title).
#pragma once

#include <cstdint>

#include "graphics/surface.h"

// Draws the help page of `state` (ssHelpOverview, ssHelpBonuses, ssHelpControls, ssHelpAbout).
void DrawHelpPage(gfx::TSurface* back, int32_t state);

// The two lines of our own on the about page.
inline constexpr const char* kAboutNotice = "(c) 2026 the Starmoat developers";
inline constexpr const char* kAboutAddress = "https://starmoat.example.org";
