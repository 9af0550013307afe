#include "ui.h"

#include "paint.h"

namespace packgen {

void Plate(cairo_t* cr, double x, double y, double w, double h, double radius) {
  RoundRect(cr, x, y, w, h, radius);
  FillMetal(cr, 0x4A5A80, x, y, w, h);
  cairo_new_path(cr);
  cairo_set_line_width(cr, 1);
  RoundRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
  cairo_pattern_t* edge = cairo_pattern_create_linear(x, y, x + w, y + h);
  AddStop(edge, 0, 0xC8D4F0);
  AddStop(edge, 0.5, 0x5A6890);
  AddStop(edge, 1, 0x0A0E1C);
  cairo_set_source(cr, edge);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
}

void Inset(cairo_t* cr, double x, double y, double w, double h, double radius, bool lit) {
  RoundRect(cr, x, y, w, h, radius);
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x, y + h);
  AddStop(p, 0, lit ? 0x10284A : 0x060A16);
  AddStop(p, 1, lit ? 0x1A3A60 : 0x0E1630);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, 1);
  RoundRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
  cairo_pattern_t* edge = cairo_pattern_create_linear(x, y, x + w, y + h);
  AddStop(edge, 0, 0x02030A);
  AddStop(edge, 0.6, 0x2A3656);
  AddStop(edge, 1, 0x8090B8);
  cairo_set_source(cr, edge);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
}

void GreenHalo(cairo_t* cr, double x, double y, double w, double h, double radius, double spread) {
  for (int i = int(spread); i >= 1; --i) {
    double a = 0.5 * (1 - double(i) / (spread + 1));
    RoundRect(cr, x - i, y - i, w + 2 * i, h + 2 * i, radius + i);
    SetColour(cr, 0x30FF40, a * a * 1.6);
    cairo_fill(cr);
  }
}

void ButtonFace(cairo_t* cr, double x, double y, double w, double h, double radius,
                const std::string& label, double fontSize, bool highlighted) {
  RoundRect(cr, x, y, w, h, radius);
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x, y + h);
  if (highlighted) {
    AddStop(p, 0, 0x3A6090);
    AddStop(p, 0.5, 0x18345E);
    AddStop(p, 1, 0x0E2040);
  } else {
    AddStop(p, 0, 0x2A3658);
    AddStop(p, 0.5, 0x151D36);
    AddStop(p, 1, 0x0A1024);
  }
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Bevel: light top-left, dark bottom-right.
  cairo_set_line_width(cr, 1);
  RoundRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
  cairo_pattern_t* edge = cairo_pattern_create_linear(x, y, x + w * 0.3, y + h);
  AddStop(edge, 0, highlighted ? 0xB0FFB0 : 0x8898C0);
  AddStop(edge, 0.5, highlighted ? 0x40A050 : 0x3A4668);
  AddStop(edge, 1, 0x04060E);
  cairo_set_source(cr, edge);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
  if (highlighted) {
    cairo_set_line_width(cr, 1.5);
    RoundRect(cr, x + 2, y + 2, w - 4, h - 4, radius);
    SetColour(cr, 0x00FF00, 0.55);
    cairo_stroke(cr);
  }
  // Sheen on the upper half.
  RoundRect(cr, x + 2, y + 2, w - 4, h * 0.42, radius);
  SetColour(cr, 0xFFFFFF, highlighted ? 0.10 : 0.06);
  cairo_fill(cr);
  GreenText(cr, label, x + w / 2, y + h / 2, fontSize, highlighted, 0);
}

void GreenText(cairo_t* cr, const std::string& text, double x, double y, double size,
               bool bright, int align) {
  Align a = align < 0 ? Align::kLeft : align > 0 ? Align::kRight : Align::kCentre;
  if (bright) {
    for (int i = 0; i < 3; ++i) {
      SetColour(cr, 0x00FF00, 0.12);
      TextPath(cr, text, x, y, size, a);
      cairo_set_line_width(cr, 5 - i * 1.5);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      cairo_stroke(cr);
    }
  }
  SetColour(cr, 0x000000, 0.8);
  Text(cr, text, x + 1, y + 1, size, a);
  SetColour(cr, bright ? 0x00FF00 : 0x228822);
  Text(cr, text, x, y, size, a);
}

}  // namespace packgen
