// Drawing of every pack picture, one function per kind of picture, grouped by file:
// backgrounds, ships, shots, effects (asteroids, explosions, bonuses), heads-up display, menus.
#pragma once

#include <cairo.h>

#include <vector>

#include "layout.h"
#include "picture.h"

namespace packgen {

// draw_backgrounds.cpp
Picture DrawFarTile();               // 512 x 486, tiles seamlessly
Picture DrawNearTile(int variant);   // 0..4, 300 x 200, black transparent, tiles seamlessly
Picture DrawMenuBackground();        // 800 x 600, opaque

// draw_ships.cpp
Picture DrawPlayerShip();            // ten frames: tilt x flame
// One 65 x 100 player ship frame at the current origin; tilt -1 (hard left) .. 1.
void DrawPlayerShipFrame(cairo_t* cr, double tilt, int flame);
Picture DrawEnemy(int kind);         // 0..8
Picture DrawBoss(int kind);          // 0..2

// draw_shots.cpp
Picture DrawShot(int kind);          // 0..14, strips, flying downward

// draw_effects.cpp
Picture DrawAsteroid(int kind);      // 0..1, 8 frames
Picture DrawExplosion(int kind);     // 0..5, 16 frames
Picture DrawBonus(int kind);         // 0..8, 8 frames
// The white symbol of a bonus kind, about 2 * size across, centred at (cx, cy).
void DrawBonusSymbol(cairo_t* cr, int kind, double cx, double cy, double size);

// draw_hud.cpp
Picture DrawHudBar(bool shield);
Picture DrawShadingLine();
Picture DrawWeaponIcon(int weaponKind);  // 0, 1, 3, 5, 8
Picture DrawLevelMarker();
Picture DrawHudFrame();
Picture DrawHudTopPanel();
Picture DrawHudRightPanel();
Picture DrawSpecialIndicator(bool wall);
Picture DrawUnused();

// draw_menu.cpp
Picture DrawMainButton(int index, bool highlighted);  // 0..5, highlight pictures
Picture DrawMainPanel();
Picture DrawLogo();
Picture DrawHeader();
Picture DrawScoreButton(int index, bool highlighted);  // 0 "Clear table", 1 "World table"
enum class SmallButton { kBack, kPrevious, kNext };
Picture DrawSmallButton(SmallButton which, bool highlighted);
Picture DrawOptionBox(const OptionBox& place, bool highlighted);
Picture DrawEditBox(bool focused);
Picture DrawDialogPanel();
Picture DrawTableRow();
Picture DrawAboutPicture();

// pack.cpp: all 102 pictures in record order.
std::vector<Picture> DrawPack();

}  // namespace packgen
