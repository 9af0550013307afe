// Menu pictures: logo, page header, the main-menu panel and its highlighted buttons, the
// high-score and help buttons, option boxes, text boxes, the dialog panel and the table row.
// Pictures the game draws without a colour key are painted edge to edge.
#include <array>
#include <algorithm>
#include <cmath>
#include <utility>
#include <string>

#include "canvas.h"
#include "layout.h"
#include "paint.h"
#include "sprites.h"
#include "ui.h"

namespace packgen {

namespace {

constexpr const char* kMainLabels[6] = {"New game", "Options", "High scores",
                                        "Help",     "More games", "Exit"};
constexpr const char* kScoreLabels[2] = {"Clear table", "World table"};
constexpr double kMainFont = 19;
constexpr double kSmallFont = 15;
constexpr double kScoreFont = 19;
// The highlight pictures of the high-score and small buttons are 7 px larger on each side
// than the normal look, which sits inside them.
constexpr int kHaloMargin = 7;

}  // namespace

Picture DrawMainButton(int index, bool highlighted) {
  Size size = kMainButtons[index];
  Canvas canvas(size.w, size.h);
  ButtonFace(canvas.cr(), 2, 1, size.w - 4, size.h - 2, 5, kMainLabels[index], kMainFont,
             highlighted);
  return canvas.Keyed(kMagentaKey);
}

Picture DrawMainPanel() {
  Canvas canvas(kMainPanel.w, kMainPanel.h);
  cairo_t* cr = canvas.cr();
  Plate(cr, 0, 0, kMainPanel.w, kMainPanel.h, 12);
  Inset(cr, 6, 6, kMainPanel.w - 12, kMainPanel.h - 12, 8, false);
  for (int i = 0; i < 6; ++i) {
    Size size = kMainButtons[i];
    double x = kMainButtonLeft - kMainPanelX, y = kMainButtonTops[i] - kMainPanelY;
    ButtonFace(cr, x + 2, y + 1, size.w - 4, size.h - 2, 5, kMainLabels[i], kMainFont, false);
  }
  // Screw heads in the corners of the rim.
  for (auto [x, y] : {std::pair{4.0, 4.0}, {kMainPanel.w - 4.0, 4.0}, {4.0, kMainPanel.h - 4.0},
                      {kMainPanel.w - 4.0, kMainPanel.h - 4.0}}) {
    SetColour(cr, 0xB0C0E0);
    cairo_arc(cr, x, y, 1.6, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  return canvas.Keyed(kMagentaKey);
}

Picture DrawScoreButton(int index, bool highlighted) {
  Size size = highlighted ? kScoreButtonHighlights[index] : kScoreButtonNormals[index];
  Canvas canvas(size.w, size.h);
  cairo_t* cr = canvas.cr();
  double m = highlighted ? kHaloMargin : 0;
  double mx = highlighted ? (index == 0 ? kHaloMargin : kHaloMargin - 1) : 0;
  Size face = kScoreButtonNormals[index];
  if (highlighted) GreenHalo(cr, mx, m, face.w, face.h, 6, kHaloMargin);
  ButtonFace(cr, mx, m, face.w, face.h, 6, kScoreLabels[index], kScoreFont, highlighted);
  return canvas.Keyed(kMagentaKey, highlighted ? 24 : 128);
}

Picture DrawSmallButton(SmallButton which, bool highlighted) {
  const char* label = which == SmallButton::kBack ? "Back"
                      : which == SmallButton::kPrevious ? "Previous" : "Next";
  if (!highlighted) {
    // Drawn without a colour key in places, so the face fills the whole picture.
    Canvas canvas(kSmallButtonNormal.w, kSmallButtonNormal.h);
    ButtonFace(canvas.cr(), 0, 0, kSmallButtonNormal.w, kSmallButtonNormal.h, 0, label,
               kSmallFont, false);
    return canvas.Opaque(0x0A1024);
  }
  Canvas canvas(kSmallButtonHighlight.w, kSmallButtonHighlight.h);
  cairo_t* cr = canvas.cr();
  // Previous/next sit 6 px in from the left of their highlight, back 7 px.
  double mx = which == SmallButton::kBack ? kHaloMargin : kHaloMargin - 1;
  GreenHalo(cr, mx, kHaloMargin, kSmallButtonNormal.w, kSmallButtonNormal.h, 0, kHaloMargin);
  ButtonFace(cr, mx, kHaloMargin, kSmallButtonNormal.w, kSmallButtonNormal.h, 0, label,
             kSmallFont, true);
  return canvas.Keyed(kMagentaKey, 24);
}

Picture DrawOptionBox(const OptionBox& place, bool highlighted) {
  const double w = place.box.w, h = place.box.h;
  if (!highlighted) {
    Canvas canvas(place.box.w, place.box.h);
    Inset(canvas.cr(), 0, 0, w, h, 3, false);
    return canvas.Keyed(kMagentaKey);
  }
  Canvas canvas(place.highlight.w, place.highlight.h);
  cairo_t* cr = canvas.cr();
  const double x = place.dx, y = place.dy;
  // The glow is cut where the box comes close to the picture's edge (below it).
  GreenHalo(cr, x, y, w, h, 3, 4);
  Inset(cr, x, y, w, h, 3, true);
  cairo_set_line_width(cr, 1.5);
  RoundRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 3);
  SetColour(cr, 0x00FF00);
  cairo_stroke(cr);
  return canvas.Keyed(kMagentaKey, 24);
}

Picture DrawEditBox(bool focused) {
  if (focused) return DrawOptionBox(kEditBox, true);
  // Drawn without a colour key: an inset field filling the picture.
  Canvas canvas(kEditBox.box.w, kEditBox.box.h);
  Inset(canvas.cr(), 0, 0, kEditBox.box.w, kEditBox.box.h, 0, false);
  return canvas.Opaque(0x060A16);
}

Picture DrawDialogPanel() {
  Canvas canvas(kDialogPanel.w, kDialogPanel.h);
  cairo_t* cr = canvas.cr();
  const double w = kDialogPanel.w, h = kDialogPanel.h;
  Plate(cr, 0, 0, w, h, 0);
  Inset(cr, 8, 8, w - 16, h - 16, 6, false);
  // Corner brackets in dim green.
  cairo_set_line_width(cr, 2);
  SetColour(cr, 0x228822);
  for (auto [x, y, dx, dy] : {std::array<double, 4>{16, 16, 1, 1}, {w - 16, 16, -1, 1},
                              {16, h - 16, 1, -1}, {w - 16, h - 16, -1, -1}}) {
    cairo_move_to(cr, x, y + dy * 16);
    cairo_line_to(cr, x, y);
    cairo_line_to(cr, x + dx * 16, y);
    cairo_stroke(cr);
  }
  for (auto [x, y] : {std::pair{4.0, 4.0}, {w - 4, 4.0}, {4.0, h - 4}, {w - 4, h - 4}}) {
    SetColour(cr, 0xB0C0E0);
    cairo_arc(cr, x, y, 1.6, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  return canvas.Opaque(pal::kPanel);
}

Picture DrawTableRow() {
  Canvas canvas(kTableRow.w, kTableRow.h);
  cairo_t* cr = canvas.cr();
  const double w = kTableRow.w, h = kTableRow.h;
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
  AddStop(p, 0, 0x101A34);
  AddStop(p, 1, 0x080E1E);
  cairo_set_source(cr, p);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  SetColour(cr, 0x2A3A60);
  cairo_rectangle(cr, 0, 0, w, 1);
  cairo_fill(cr);
  SetColour(cr, 0x03050C);
  cairo_rectangle(cr, 0, h - 1, w, 1);
  cairo_fill(cr);
  SetColour(cr, 0x228822, 0.6);
  cairo_rectangle(cr, 0, 0, 3, h);
  cairo_rectangle(cr, w - 3, 0, 3, h);
  cairo_fill(cr);
  return canvas.Opaque(pal::kPanel);
}

Picture DrawHeader() {
  Canvas canvas(kHeader.w, kHeader.h);
  cairo_t* cr = canvas.cr();
  const double w = kHeader.w, h = kHeader.h;
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, w, 0);
  cairo_line_to(cr, w, h - 4);
  cairo_line_to(cr, 40, h - 4);
  cairo_close_path(cr);
  FillMetal(cr, 0x4A5A80, 0, 0, w, h);
  cairo_set_line_width(cr, 1);
  SetColour(cr, 0x0A0E1C);
  cairo_stroke(cr);
  // Title window (titles are drawn at x 420..., y 25..53).
  cairo_move_to(cr, 22, 12);
  cairo_line_to(cr, w - 12, 12);
  cairo_line_to(cr, w - 12, h - 14);
  cairo_line_to(cr, 48, h - 14);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 12, 0, h - 14);
  AddStop(p, 0, 0x060A16);
  AddStop(p, 1, 0x0E1630);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetColour(cr, 0x8090B8, 0.8);
  cairo_stroke(cr);
  // Status lights on the right.
  for (int i = 0; i < 3; ++i) {
    double x = w - 30 - i * 12;
    Glow(cr, x, 40, 5, i == 0 ? 0x00FF00 : 0x228822, 0.9);
  }
  return canvas.Keyed(kMagentaKey);
}

Picture DrawLogo() {
  Canvas canvas(kLogo.w, kLogo.h);
  cairo_t* cr = canvas.cr();
  const double w = kLogo.w;
  // Emblem: a star inside its moat, a tilted ring passing behind and in front of it.
  const double ex = w / 2, ey = 46;
  auto ring = [&](double from, double to) {
    cairo_save(cr);
    cairo_translate(cr, ex, ey);
    cairo_rotate(cr, -0.22);
    cairo_scale(cr, 1, 0.28);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 64, from, to);
    cairo_restore(cr);
    cairo_set_line_width(cr, 6);
    cairo_pattern_t* p = cairo_pattern_create_linear(ex - 64, ey - 24, ex + 64, ey + 24);
    AddStop(p, 0, 0xF0F6FF);
    AddStop(p, 0.45, 0x7890D8);
    AddStop(p, 1, 0x283470);
    cairo_set_source(cr, p);
    cairo_stroke(cr);
    cairo_pattern_destroy(p);
  };
  Glow(cr, ex, ey, 44, 0x4070FF, 0.7);
  ring(M_PI, 2 * M_PI);  // far half
  Glow(cr, ex, ey, 18, 0xFFFFFF, 1.0);
  SetColour(cr, 0xFFFFFF, 0.9);  // four-point flare
  for (int i = 0; i < 2; ++i) {
    cairo_save(cr);
    cairo_translate(cr, ex, ey);
    cairo_rotate(cr, i * M_PI / 2);
    cairo_move_to(cr, -30, 0);
    cairo_line_to(cr, 0, -1.6);
    cairo_line_to(cr, 30, 0);
    cairo_line_to(cr, 0, 1.6);
    cairo_close_path(cr);
    cairo_restore(cr);
    cairo_fill(cr);
  }
  ring(0, M_PI);  // near half
  // The name: slanted chrome letters with a dark outline and a blue glow.
  const double ty = 106, size = 42;
  auto namePath = [&] {
    cairo_save(cr);
    cairo_matrix_t shear;
    cairo_matrix_init(&shear, 0.86, 0, -0.14, 1, w / 2 + 6, ty);
    cairo_transform(cr, &shear);
    TextPath(cr, "STARMOAT", 0, 0, size, Align::kCentre);
    cairo_restore(cr);
  };
  namePath();
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (int i = 0; i < 3; ++i) {
    cairo_set_line_width(cr, 10 - i * 3);
    SetColour(cr, 0x3060FF, 0.25);
    cairo_stroke_preserve(cr);
  }
  cairo_set_line_width(cr, 3.5);
  SetColour(cr, 0x060818);
  cairo_stroke_preserve(cr);
  cairo_pattern_t* chrome = cairo_pattern_create_linear(0, ty - 16, 0, ty + 16);
  AddStop(chrome, 0, 0xFFFFFF);
  AddStop(chrome, 0.42, 0xB8C6EC);
  AddStop(chrome, 0.5, 0x2E3C78);
  AddStop(chrome, 0.62, 0x5A6AB0);
  AddStop(chrome, 1, 0xDCE8FF);
  cairo_set_source(cr, chrome);
  cairo_fill(cr);
  cairo_pattern_destroy(chrome);
  // Interface-green rule under the name, fading at both ends.
  cairo_pattern_t* rule = cairo_pattern_create_linear(16, 0, w - 16, 0);
  AddStop(rule, 0, 0x00FF00, 0);
  AddStop(rule, 0.2, 0x00FF00, 1);
  AddStop(rule, 0.8, 0x00FF00, 1);
  AddStop(rule, 1, 0x00FF00, 0);
  cairo_set_source(cr, rule);
  cairo_rectangle(cr, 16, 128, w - 32, 2);
  cairo_fill(cr);
  return canvas.Keyed(kMagentaKey, 96);
}

Picture DrawAboutPicture() {
  Canvas canvas(kAboutPicture.w, kAboutPicture.h);
  cairo_t* cr = canvas.cr();
  const double s = kAboutPicture.w;
  cairo_arc(cr, s / 2, s / 2, s / 2 - 2, 0, 2 * M_PI);
  cairo_pattern_t* sky = cairo_pattern_create_radial(s / 2, s / 2, 5, s / 2, s / 2, s / 2);
  AddStop(sky, 0, 0x1A2050);
  AddStop(sky, 1, 0x060818);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);
  // A ringed planet behind the ship.
  cairo_pattern_t* planet = cairo_pattern_create_radial(s * 0.3, s * 0.62, 2, s * 0.42, s * 0.75, 34);
  AddStop(planet, 0, 0x9AB0F0);
  AddStop(planet, 0.6, 0x304080);
  AddStop(planet, 1, 0x0A0E24);
  cairo_set_source(cr, planet);
  cairo_arc(cr, s * 0.42, s * 0.75, 32, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(planet);
  cairo_save(cr);
  cairo_translate(cr, s * 0.42, s * 0.75);
  cairo_rotate(cr, -0.3);
  cairo_scale(cr, 1, 0.25);
  cairo_arc(cr, 0, 0, 50, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_set_line_width(cr, 2.5);
  SetColour(cr, 0xC0D0FF, 0.8);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_translate(cr, s / 2 + 8, 12);
  cairo_scale(cr, 0.85, 0.85);
  cairo_translate(cr, -32.5, 0);
  DrawPlayerShipFrame(cr, 0.5, 1);
  cairo_restore(cr);
  cairo_set_line_width(cr, 2);
  cairo_arc(cr, s / 2, s / 2, s / 2 - 2, 0, 2 * M_PI);
  SetColour(cr, 0x228822);
  cairo_stroke(cr);
  return canvas.Keyed(kMagentaKey);
}

}  // namespace packgen
