#include "paint.h"

#include <algorithm>
#include <cmath>

namespace packgen {

namespace {
double Ch(uint32_t rgb, int shift) { return ((rgb >> shift) & 0xFF) / 255.0; }
}  // namespace

void SetColour(cairo_t* cr, uint32_t rgb, double alpha) {
  cairo_set_source_rgba(cr, Ch(rgb, 16), Ch(rgb, 8), Ch(rgb, 0), alpha);
}

void AddStop(cairo_pattern_t* p, double offset, uint32_t rgb, double alpha) {
  cairo_pattern_add_color_stop_rgba(p, offset, Ch(rgb, 16), Ch(rgb, 8), Ch(rgb, 0), alpha);
}

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    double c = Ch(a, shift) * (1 - t) + Ch(b, shift) * t;
    out |= uint32_t(std::lround(std::clamp(c, 0.0, 1.0) * 255)) << shift;
  }
  return out;
}

uint32_t Scale(uint32_t rgb, double factor) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    double c = Ch(rgb, shift) * factor;
    out |= uint32_t(std::lround(std::clamp(c, 0.0, 1.0) * 255)) << shift;
  }
  return out;
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

void FillMetal(cairo_t* cr, uint32_t base, double x, double y, double w, double h) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w * 0.7, y + h);
  AddStop(p, 0.0, Mix(base, 0xFFFFFF, 0.55));
  AddStop(p, 0.35, base);
  AddStop(p, 0.75, Scale(base, 0.55));
  AddStop(p, 1.0, Scale(base, 0.3));
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
}

void StrokeBevel(cairo_t* cr, double width, uint32_t rgb) {
  cairo_save(cr);
  cairo_set_line_width(cr, width);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  SetColour(cr, rgb, 0.9);
  cairo_stroke_preserve(cr);
  cairo_restore(cr);
}

void Glow(cairo_t* cr, double cx, double cy, double r, uint32_t rgb, double alpha) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  AddStop(p, 0.0, Mix(rgb, 0xFFFFFF, 0.6), alpha);
  AddStop(p, 0.3, rgb, alpha * 0.8);
  AddStop(p, 1.0, rgb, 0.0);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

namespace {
void Place(cairo_t* cr, const std::string& text, double x, double y, double size, Align align,
           bool bold) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  double left = x - ext.x_bearing;
  if (align == Align::kCentre) left = x - ext.width / 2 - ext.x_bearing;
  if (align == Align::kRight) left = x - ext.width - ext.x_bearing;
  // Centre capitals on y: cap height of the face is about 0.73 of the size.
  cairo_move_to(cr, left, y + size * 0.365);
}
}  // namespace

void Text(cairo_t* cr, const std::string& text, double x, double y, double size, Align align,
          bool bold) {
  Place(cr, text, x, y, size, align, bold);
  cairo_show_text(cr, text.c_str());
}

void TextPath(cairo_t* cr, const std::string& text, double x, double y, double size,
              Align align, bool bold) {
  Place(cr, text, x, y, size, align, bold);
  cairo_text_path(cr, text.c_str());
}

}  // namespace packgen
