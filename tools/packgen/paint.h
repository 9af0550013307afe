// Small cairo helpers shared by every drawing file: colours, shapes, lighting and text.
// Light always comes from the top left.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

namespace packgen {

// Palette of the game's look.
namespace pal {
inline constexpr uint32_t kGreen = 0x00FF00;      // bright interface text
inline constexpr uint32_t kDarkGreen = 0x228822;  // dim interface text
inline constexpr uint32_t kSpace = 0x05060F;
inline constexpr uint32_t kPanel = 0x0C1428;
inline constexpr uint32_t kPanelEdge = 0x3A4E7A;
inline constexpr uint32_t kSteel = 0x8C9AB8;
inline constexpr uint32_t kHull = 0x6C7EA6;
inline constexpr uint32_t kEnemyHull = 0x7A5C8E;
inline constexpr uint32_t kCockpit = 0x40C8FF;
inline constexpr uint32_t kFlame = 0xFFB040;
}  // namespace pal

void SetColour(cairo_t* cr, uint32_t rgb, double alpha = 1.0);
void AddStop(cairo_pattern_t* p, double offset, uint32_t rgb, double alpha = 1.0);
uint32_t Mix(uint32_t a, uint32_t b, double t);  // t = 0 gives a
uint32_t Scale(uint32_t rgb, double factor);     // brighter above 1, darker below

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r);
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);

// Fills the current path with a metal gradient lit from the top left over the given box, then
// keeps the path.
void FillMetal(cairo_t* cr, uint32_t base, double x, double y, double w, double h);
// Strokes the current path with a thin highlight/shadow pair to give it an edge.
void StrokeBevel(cairo_t* cr, double width, uint32_t rgb);
// A soft radial glow.
void Glow(cairo_t* cr, double cx, double cy, double r, uint32_t rgb, double alpha = 1.0);

enum class Align { kLeft, kCentre, kRight };
// Text in the interface face (bold sans), baseline-free placement: (x, y) is the anchor of
// the text's box vertically centred at y.
void Text(cairo_t* cr, const std::string& text, double x, double y, double size, Align align,
          bool bold = true);
// Path of the text, placed like Text, for gradient fills and outlines.
void TextPath(cairo_t* cr, const std::string& text, double x, double y, double size,
              Align align, bool bold = true);

}  // namespace packgen

namespace packgen {

// Draws a strip: for frame i the origin is moved to the frame's left edge and drawing is
// clipped to the frame, so nothing bleeds into a neighbour.
template <typename F>
void ForEachFrame(cairo_t* cr, int frameW, int frameH, int frames, F draw) {
  for (int i = 0; i < frames; ++i) {
    cairo_save(cr);
    cairo_translate(cr, i * frameW, 0);
    cairo_rectangle(cr, 0, 0, frameW, frameH);
    cairo_clip(cr);
    cairo_new_path(cr);
    draw(i);
    cairo_restore(cr);
  }
}

}  // namespace packgen
