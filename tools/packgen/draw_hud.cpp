// The heads-up display: screen frame, status strip, right-hand console, bars, level marker,
// weapon icons and special-weapon indicators. Positions below are screen coordinates taken
// back to each picture's own origin.
#include <array>
#include <algorithm>
#include <cmath>
#include <string>

#include "canvas.h"
#include "layout.h"
#include "paint.h"
#include "sprites.h"
#include "ui.h"

namespace packgen {

namespace {

// Where the heads-up pictures and the values drawn on them sit on the screen.
constexpr int kTopPanelX = 80, kTopPanelY = 4;
constexpr int kRightPanelX = 652, kRightPanelY = 37;
constexpr int kRailX = 770, kRailTop = 50, kRailBottom = 262;  // marker: x 760..780, y 55..259
constexpr int kShieldBarX = 747, kEnergyBarX = 780, kBarBottom = 454;
constexpr int kTopBarHeight = 32;

// A segmented bar lit from the left, full at the top.
void Bar(Canvas& canvas, uint32_t bottom, uint32_t middle, uint32_t top) {
  cairo_t* cr = canvas.cr();
  const int w = kBarSize.w, h = kBarSize.h;
  for (int y = 0; y < h; y += 4) {
    double t = 1 - double(y) / h;  // 0 at the bottom
    uint32_t c = t < 0.5 ? Mix(bottom, middle, t * 2) : Mix(middle, top, (t - 0.5) * 2);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, 0);
    AddStop(p, 0, Mix(c, 0xFFFFFF, 0.45));
    AddStop(p, 0.4, c);
    AddStop(p, 1, Scale(c, 0.45));
    cairo_set_source(cr, p);
    cairo_rectangle(cr, 0, y, w, 3);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
}

void WeaponSymbol(cairo_t* cr, int weapon, double cx, double cy, double h) {
  SetColour(cr, 0x00FF00);
  switch (weapon) {
    case 0:
      Ellipse(cr, cx, cy, 2.5, h * 0.36);
      cairo_fill(cr);
      break;
    case 1:
      for (int i = -1; i <= 1; ++i) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy + h * 0.4);
        cairo_rotate(cr, i * 0.5);
        Ellipse(cr, 0, -h * 0.45, 2, h * 0.28);
        cairo_restore(cr);
        cairo_fill(cr);
      }
      break;
    case 3:
      cairo_arc(cr, cx, cy, h * 0.32, 0, 2 * M_PI);
      cairo_fill(cr);
      SetColour(cr, 0x0C1428);
      cairo_arc(cr, cx - h * 0.08, cy - h * 0.08, h * 0.1, 0, 2 * M_PI);
      cairo_fill(cr);
      break;
    case 5:
      for (int s : {-1, 1}) {
        cairo_rectangle(cr, cx + s * 6 - 1.5, cy - h * 0.4, 3, h * 0.8);
        cairo_fill(cr);
      }
      break;
    default:
      RoundRect(cr, cx - 3, cy - h * 0.38, 6, h * 0.76, 3);
      cairo_fill(cr);
      SetColour(cr, 0x00FF00, 0.5);
      cairo_rectangle(cr, cx - 1, cy - h * 0.45, 2, h * 0.1);
      cairo_fill(cr);
      break;
  }
}

}  // namespace

Picture DrawHudBar(bool shield) {
  Canvas canvas(kBarSize.w, kBarSize.h);
  if (shield) {
    Bar(canvas, 0x1838A0, 0x3080F0, 0x80E0FF);
  } else {
    Bar(canvas, 0xE02818, 0xF0D020, 0x30F040);
  }
  return canvas.Keyed(kMagentaKey);
}

Picture DrawShadingLine() { return Picture(kShadingLine.w, kShadingLine.h, 0x000000); }

Picture DrawUnused() { return Picture(kUnusedSlot.w, kUnusedSlot.h, 0x0C1428); }

Picture DrawWeaponIcon(int weapon) {
  Size size = weapon == 5 ? kWeaponIconTall : kWeaponIcon;
  Canvas canvas(size.w, size.h);
  cairo_t* cr = canvas.cr();
  Inset(cr, 1, 1, size.w - 2, size.h - 2, 4, false);
  cairo_set_line_width(cr, 1);
  RoundRect(cr, 1.5, 1.5, size.w - 3, size.h - 3, 4);
  SetColour(cr, 0x228822);
  cairo_stroke(cr);
  WeaponSymbol(cr, weapon, size.w / 2.0, size.h / 2.0, size.h - 6);
  return canvas.Keyed(kMagentaKey);
}

Picture DrawLevelMarker() {
  Canvas canvas(kLevelMarker.w, kLevelMarker.h);
  cairo_t* cr = canvas.cr();
  const double cx = kLevelMarker.w / 2.0;
  cairo_move_to(cr, cx, 1);
  cairo_line_to(cr, kLevelMarker.w - 2, kLevelMarker.h - 2);
  cairo_line_to(cr, cx, kLevelMarker.h - 5);
  cairo_line_to(cr, 2, kLevelMarker.h - 2);
  cairo_close_path(cr);
  SetColour(cr, 0x00FF00);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1);
  SetColour(cr, 0x0A3A0A);
  cairo_stroke(cr);
  return canvas.Keyed(kMagentaKey);
}

Picture DrawHudFrame() {
  Canvas canvas(kScreen.w, kScreen.h);
  cairo_t* cr = canvas.cr();
  // Top bar across the screen.
  cairo_rectangle(cr, 0, 0, kScreen.w, kTopBarHeight);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, kTopBarHeight);
  AddStop(p, 0, 0x2A3658);
  AddStop(p, 0.7, 0x111A30);
  AddStop(p, 1, 0x0A1020);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_rectangle(cr, 0, kTopBarHeight - 3, kScreen.w, 3);
  FillMetal(cr, 0x6A7AA0, 0, kTopBarHeight - 3, kScreen.w, 3);
  cairo_new_path(cr);
  // Thin steel rim round the rest of the screen.
  for (auto [x, y, w, h] : {std::array<double, 4>{0, 0, 3, 600}, {797, 0, 3, 600}, {0, 597, 800, 3}}) {
    cairo_rectangle(cr, x, y, w, h);
    FillMetal(cr, 0x5A6A90, x, y, w, h);
    cairo_new_path(cr);
  }
  // Corner braces at the bottom.
  for (int side : {0, 1}) {
    double x = side ? 800 : 0, dir = side ? -1 : 1;
    cairo_move_to(cr, x, 600);
    cairo_line_to(cr, x, 560);
    cairo_line_to(cr, x + dir * 8, 568);
    cairo_line_to(cr, x + dir * 8, 592);
    cairo_line_to(cr, x + dir * 32, 592);
    cairo_line_to(cr, x + dir * 40, 600);
    cairo_close_path(cr);
    FillMetal(cr, 0x6A7AA0, x - 40, 560, 40, 40);
    cairo_new_path(cr);
  }
  // Rivets along the top bar.
  for (int x = 12; x < 800; x += 52) {
    SetColour(cr, 0x8090B8);
    cairo_arc(cr, x, 8, 1.3, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  return canvas.Keyed(kMagentaKey);
}

Picture DrawHudTopPanel() {
  Canvas canvas(kHudTopPanel.w, kHudTopPanel.h);
  cairo_t* cr = canvas.cr();
  const double h = kHudTopPanel.h;
  auto cell = [&](double screenLeft, double screenRight) {
    Inset(cr, screenLeft - kTopPanelX, 0, screenRight - screenLeft, h, 5, false);
  };
  cell(82, 200);   // lives: icon, then the count at x 140
  cell(300, 450);  // "Level n-m" at x 315
  cell(522, 730);  // "Score" at 533, value right-aligned at 720
  // A small ship for the lives.
  cairo_save(cr);
  cairo_translate(cr, 100 - kTopPanelX, 2.5);
  cairo_scale(cr, 0.2, 0.19);
  cairo_translate(cr, -32.5, 0);
  DrawPlayerShipFrame(cr, 0, 1);
  cairo_restore(cr);
  SetColour(cr, 0x228822);
  Text(cr, "x", 126 - kTopPanelX, h / 2, 11, Align::kCentre);
  return canvas.Keyed(kMagentaKey);
}

Picture DrawHudRightPanel() {
  Canvas canvas(kHudRightPanel.w, kHudRightPanel.h);
  cairo_t* cr = canvas.cr();
  auto lx = [](double x) { return x - kRightPanelX; };
  auto ly = [](double y) { return y - kRightPanelY; };
  // Level rail with ticks and a goal flag.
  Inset(cr, lx(kRailX - 4), ly(kRailTop), 8, kRailBottom - kRailTop, 3, false);
  cairo_set_line_width(cr, 1);
  for (int i = 0; i <= 10; ++i) {
    double y = ly(kRailTop + 6) + i * (kRailBottom - kRailTop - 12) / 10.0;
    SetColour(cr, i == 0 ? 0x00FF00 : 0x228822);
    cairo_move_to(cr, lx(kRailX - 9), std::round(y) + 0.5);
    cairo_line_to(cr, lx(kRailX - 5), std::round(y) + 0.5);
    cairo_move_to(cr, lx(kRailX + 5), std::round(y) + 0.5);
    cairo_line_to(cr, lx(kRailX + 9), std::round(y) + 0.5);
    cairo_stroke(cr);
  }
  // Troughs behind the shield and energy bars, with their letters.
  for (int x : {kShieldBarX, kEnergyBarX}) {
    Inset(cr, lx(x - 3), ly(kBarBottom - kBarSize.h - 3), kBarSize.w + 6, kBarSize.h + 6, 3, false);
    GreenText(cr, x == kShieldBarX ? "S" : "E", lx(x + kBarSize.w / 2.0), ly(kBarBottom + 12), 11,
              false, 0);
  }
  // Weapon box (icon at 663, 508..544) and the weapon time ("X nn" at 721, 521).
  Inset(cr, lx(660), ly(505), 60, 42, 5, false);
  Inset(cr, lx(718), ly(516), 74, 28, 5, false);
  // Sockets for the bomb (670, 545) and wall (733, 545) indicators.
  Inset(cr, lx(667), ly(547), 66, 50, 5, false);
  Inset(cr, lx(731), ly(547), 64, 50, 5, false);
  return canvas.Keyed(kMagentaKey);
}

Picture DrawSpecialIndicator(bool wall) {
  Canvas canvas(kSpecialIndicator.w, kSpecialIndicator.h);
  cairo_t* cr = canvas.cr();
  const double w = kSpecialIndicator.w, h = kSpecialIndicator.h;
  Inset(cr, 0, 0, w, h, 0, true);
  cairo_set_line_width(cr, 1.5);
  cairo_rectangle(cr, 1.5, 1.5, w - 3, h - 3);
  SetColour(cr, 0x00FF00, 0.8);
  cairo_stroke(cr);
  DrawBonusSymbol(cr, wall ? 7 : 8, w / 2, 18, 11);
  GreenText(cr, wall ? "WALL" : "BOMB", w / 2, h - 9, 10, true, 0);
  return canvas.Opaque(0x0A1020);
}

}  // namespace packgen
