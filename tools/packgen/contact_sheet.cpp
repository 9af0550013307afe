#include "contact_sheet.h"

#include <cairo.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "paint.h"

namespace packgen {

namespace {

constexpr int kSheetWidth = 2100;
constexpr int kGap = 14;
constexpr int kLabel = 16;
constexpr uint32_t kSheetBackground = 0x101018;

// A picture as a cairo surface with its key colour shown as the sheet background.
cairo_surface_t* ToSurface(const Picture& p, bool blackKey) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, p.width, p.height);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  const uint32_t key = blackKey ? 0x000000 : 0xFF00FF;
  for (int y = 0; y < p.height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
    for (int x = 0; x < p.width; ++x) {
      uint32_t c = p.At(x, y);
      row[x] = c == key ? kSheetBackground : c;
    }
  }
  cairo_surface_mark_dirty(s);
  return s;
}

// Appended rather than `"A" + std::to_string(...)`: GCC 12 at -O3 reports a false overlap
// (-Wrestrict) inside the inlined string insert of that form.
std::string SlotName(int record) {
  std::string name(1, record < 60 ? 'A' : 'B');
  name += std::to_string(record < 60 ? record : record - 60);
  return name;
}

}  // namespace

void WriteContactSheet(const std::vector<Picture>& pack, const std::string& path) {
  // Shelf layout: left to right, a new shelf when the row is full.
  struct Place {
    int x, y;
  };
  std::vector<Place> places;
  int x = kGap, y = kGap, shelf = 0;
  for (const Picture& p : pack) {
    int w = std::max(p.width, 90);
    if (x + w + kGap > kSheetWidth) {
      x = kGap;
      y += shelf + kLabel + kGap;
      shelf = 0;
    }
    places.push_back({x, y});
    x += w + kGap;
    shelf = std::max(shelf, p.height);
  }
  const int height = y + shelf + kLabel + kGap;
  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, height);
  cairo_t* cr = cairo_create(sheet);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  SetColour(cr, kSheetBackground);
  cairo_paint(cr);
  for (size_t i = 0; i < pack.size(); ++i) {
    const Picture& p = pack[i];
    cairo_surface_t* s = ToSurface(p, i >= 3 && i <= 7);
    cairo_set_source_surface(cr, s, places[i].x, places[i].y + kLabel);
    cairo_paint(cr);
    cairo_surface_destroy(s);
    cairo_set_line_width(cr, 1);
    SetColour(cr, 0x303048);
    cairo_rectangle(cr, places[i].x - 0.5, places[i].y + kLabel - 0.5, p.width + 1, p.height + 1);
    cairo_stroke(cr);
    SetColour(cr, 0x9090B0);
    std::string label = std::to_string(i) + " " + SlotName(int(i)) + " " +
                        std::to_string(p.width) + "x" + std::to_string(p.height);
    Text(cr, label, places[i].x, places[i].y + kLabel / 2.0 - 1, 11, Align::kLeft, false);
  }
  cairo_destroy(cr);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  cairo_status_t status = cairo_surface_write_to_png(sheet, path.c_str());
  cairo_surface_destroy(sheet);
  if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + path);
}

void WritePng(const Picture& picture, const std::string& path) {
  cairo_surface_t* s = ToSurface(picture, false);
  cairo_status_t status = cairo_surface_write_to_png(s, path.c_str());
  cairo_surface_destroy(s);
  if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + path);
}

}  // namespace packgen
