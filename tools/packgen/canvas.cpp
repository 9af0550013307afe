#include "canvas.h"

namespace packgen {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
  // Fixed text rendering, independent of the desktop's font settings.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr_, options);
  cairo_font_options_destroy(options);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

uint32_t* Canvas::Row(int y) {
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  return reinterpret_cast<uint32_t*>(data + size_t(y) * cairo_image_surface_get_stride(surface_));
}

namespace {

// Composites one premultiplied ARGB pixel over an opaque colour.
uint32_t Over(uint32_t argb, uint32_t under) {
  uint32_t a = argb >> 24;
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    uint32_t top = (argb >> shift) & 0xFF;
    uint32_t bottom = (under >> shift) & 0xFF;
    uint32_t c = top + (bottom * (255 - a) + 127) / 255;
    out |= (c > 255 ? 255 : c) << shift;
  }
  return out;
}

}  // namespace

Picture Canvas::Keyed(uint32_t key, int threshold, uint32_t edge) const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  Picture picture(width_, height_, key);
  for (int y = 0; y < height_; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
    for (int x = 0; x < width_; ++x) {
      uint32_t argb = row[x];
      if (static_cast<int>(argb >> 24) < threshold) continue;
      uint32_t c = Over(argb, edge);
      if (c == key) c ^= 0x010000;  // one step off the key keeps the pixel visible
      picture.At(x, y) = c;
    }
  }
  return picture;
}

Picture Canvas::Opaque(uint32_t background) const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  Picture picture(width_, height_, background);
  for (int y = 0; y < height_; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
    for (int x = 0; x < width_; ++x) picture.At(x, y) = Over(row[x], background);
  }
  return picture;
}

}  // namespace packgen
