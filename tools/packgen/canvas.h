// A cairo drawing surface with an alpha channel, and its conversion into a keyed or opaque
// pack picture.
#pragma once

#include <cairo.h>

#include <cstdint>

#include "picture.h"

namespace packgen {

// The colour antialiased edges are blended towards when a sprite is keyed: the game draws
// almost everything over dark space, so a dark rim reads as a soft edge instead of a fringe.
inline constexpr uint32_t kEdgeDark = 0x06060E;

class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Direct pixel access (premultiplied ARGB); call MarkDirty() before drawing with cairo again.
  uint32_t* Row(int y);
  void MarkDirty() { cairo_surface_mark_dirty(surface_); }
  // Sets an opaque pixel.
  void Put(int x, int y, uint32_t rgb) { Row(y)[x] = 0xFF000000u | rgb; }

  // Pixels with coverage of at least `threshold` (0..255) become the colour composited over
  // `edge`; the rest become `key`. No kept pixel is allowed to equal the key.
  Picture Keyed(uint32_t key, int threshold = 128, uint32_t edge = kEdgeDark) const;
  // Everything composited over `background`.
  Picture Opaque(uint32_t background) const;

 private:
  int width_, height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

}  // namespace packgen
