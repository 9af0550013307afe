// Building blocks for ship hulls: mirrored outlines, plating detail, glowing ports.
#pragma once

#include <cairo.h>

#include <initializer_list>
#include <utility>

#include "rng.h"

namespace packgen {

using Pt = std::pair<double, double>;

// Closed path symmetric about x = cx: `right` lists the right-hand outline from top to bottom
// as (distance from the axis, y); the left side mirrors it back up. `sx` scales the width.
void SymPath(cairo_t* cr, double cx, std::initializer_list<Pt> right, double sx = 1.0);
// Closed polygon through the points.
void PolyPath(cairo_t* cr, std::initializer_list<Pt> points);

// Fills the current path as a metal hull lit from the top left, adds panel lines and a dark
// outline, and clears the path. (x, y, w, h) is the hull's bounding box.
void Hull(cairo_t* cr, uint32_t base, double x, double y, double w, double h, Rng* panels,
          int panelCount = 0);
// A glass canopy.
void Canopy(cairo_t* cr, double cx, double cy, double rx, double ry, uint32_t tint);
// A glowing port or engine exhaust.
void Port(cairo_t* cr, double cx, double cy, double r, uint32_t colour);
// Rows of tiny window lights inside a box.
void Windows(cairo_t* cr, Rng& rng, double x, double y, double w, double h, int count,
             uint32_t colour);
// A round turret with a barrel pointing down.
void Turret(cairo_t* cr, double cx, double cy, double r, uint32_t base);

}  // namespace packgen
