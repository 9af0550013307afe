#include "hull.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "paint.h"

namespace packgen {

void SymPath(cairo_t* cr, double cx, std::initializer_list<Pt> right, double sx) {
  std::vector<Pt> pts(right);
  cairo_new_sub_path(cr);
  for (const Pt& p : pts) cairo_line_to(cr, cx + p.first * sx, p.second);
  for (auto it = pts.rbegin(); it != pts.rend(); ++it) cairo_line_to(cr, cx - it->first * sx, it->second);
  cairo_close_path(cr);
}

void PolyPath(cairo_t* cr, std::initializer_list<Pt> points) {
  cairo_new_sub_path(cr);
  for (const Pt& p : points) cairo_line_to(cr, p.first, p.second);
  cairo_close_path(cr);
}

void Hull(cairo_t* cr, uint32_t base, double x, double y, double w, double h, Rng* panels,
          int panelCount) {
  FillMetal(cr, base, x, y, w, h);
  if (panels != nullptr && panelCount > 0) {
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_set_line_width(cr, 0.7);
    for (int i = 0; i < panelCount; ++i) {
      double px = x + panels->Range(0, w), py = y + panels->Range(0, h);
      double pw = panels->Range(w * 0.08, w * 0.3), ph = panels->Range(h * 0.05, h * 0.2);
      cairo_rectangle(cr, std::round(px) + 0.5, std::round(py) + 0.5, std::round(pw), std::round(ph));
      SetColour(cr, Scale(base, 0.35), 0.55);
      cairo_stroke(cr);
      cairo_move_to(cr, std::round(px) + 1.5, std::round(py) + 1.5);
      cairo_rel_line_to(cr, std::round(pw) - 1, 0);
      SetColour(cr, Mix(base, 0xFFFFFF, 0.5), 0.35);
      cairo_stroke(cr);
    }
    cairo_restore(cr);
  }
  cairo_set_line_width(cr, 1.0);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  SetColour(cr, Scale(base, 0.22));
  cairo_stroke(cr);
}

void Canopy(cairo_t* cr, double cx, double cy, double rx, double ry, uint32_t tint) {
  Ellipse(cr, cx, cy, rx, ry);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - rx * 0.4, cy - ry * 0.5, 0.5, cx, cy,
                                                   std::max(rx, ry) * 1.1);
  AddStop(p, 0, 0xFFFFFF);
  AddStop(p, 0.25, Mix(tint, 0xFFFFFF, 0.3));
  AddStop(p, 0.7, Scale(tint, 0.5));
  AddStop(p, 1, Scale(tint, 0.2));
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, 0.8);
  SetColour(cr, 0x101420);
  cairo_stroke(cr);
}

void Port(cairo_t* cr, double cx, double cy, double r, uint32_t colour) {
  Glow(cr, cx, cy, r * 2.2, colour, 0.7);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  AddStop(p, 0, 0xFFFFFF);
  AddStop(p, 0.45, Mix(colour, 0xFFFFFF, 0.4));
  AddStop(p, 1, colour);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void Windows(cairo_t* cr, Rng& rng, double x, double y, double w, double h, int count,
             uint32_t colour) {
  for (int i = 0; i < count; ++i) {
    double wx = std::round(x + rng.Range(0, w)), wy = std::round(y + rng.Range(0, h));
    SetColour(cr, colour, rng.Range(0.6, 1.0));
    cairo_rectangle(cr, wx, wy, 1.5, 1.5);
    cairo_fill(cr);
  }
}

void Turret(cairo_t* cr, double cx, double cy, double r, uint32_t base) {
  cairo_rectangle(cr, cx - r * 0.22, cy, r * 0.44, r * 1.6);
  Hull(cr, Scale(base, 0.8), cx - r, cy, 2 * r, r * 1.6, nullptr);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  Hull(cr, base, cx - r, cy - r, 2 * r, 2 * r, nullptr);
  SetColour(cr, 0xFF5030);
  cairo_arc(cr, cx, cy, r * 0.3, 0, 2 * M_PI);
  cairo_fill(cr);
}

}  // namespace packgen
