// Interface surfaces shared by the menus and the heads-up display: steel plates, inset
// fields, green glowing frames and labels.
#pragma once

#include <cairo.h>

#include <string>

namespace packgen {

// A bevelled steel plate filling the rectangle (light edge top-left, dark edge bottom-right).
void Plate(cairo_t* cr, double x, double y, double w, double h, double radius);
// A dark recessed field (shadow at the top-left inner edge).
void Inset(cairo_t* cr, double x, double y, double w, double h, double radius, bool lit);
// A soft green halo around a rectangle, reaching `spread` pixels out.
void GreenHalo(cairo_t* cr, double x, double y, double w, double h, double radius, double spread);
// A button face with its label; the highlighted look is brighter with a bright green label.
void ButtonFace(cairo_t* cr, double x, double y, double w, double h, double radius,
                const std::string& label, double fontSize, bool highlighted);
// Interface text in green with a dark drop shadow.
void GreenText(cairo_t* cr, const std::string& text, double x, double y, double size,
               bool bright, int align);

}  // namespace packgen
