#include "icon.h"

#include <cairo.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "canvas.h"
#include "paint.h"
#include "rng.h"
#include "sprites.h"

namespace packgen {

namespace {

// Drawn on a 256-unit square; the canvas is scaled to the wanted size first.
constexpr double kUnits = 256;

void Tile(cairo_t* cr) {
  RoundRect(cr, 8, 8, 240, 240, 44);
  cairo_pattern_t* p = cairo_pattern_create_radial(128, 150, 10, 128, 128, 180);
  AddStop(p, 0.0, 0x1A2A5A);
  AddStop(p, 0.6, 0x0B1230);
  AddStop(p, 1.0, pal::kSpace);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, 5);
  SetColour(cr, pal::kPanelEdge);
  cairo_stroke(cr);
}

// A few fixed stars; they vanish into single pixels at 48 but give the big sizes depth.
void Stars(cairo_t* cr) {
  Rng rng(12);
  for (int i = 0; i < 26; ++i) {
    const double x = 28 + rng.Unit() * 200, y = 26 + rng.Unit() * 200;
    const double r = 0.9 + rng.Unit() * 1.8;
    SetColour(cr, Mix(0xFFFFFF, 0x9FB8FF, rng.Unit()), 0.45 + 0.5 * rng.Unit());
    Ellipse(cr, x, y, r, r);
    cairo_fill(cr);
  }
}

// The moat: a tilted ring of light around the ship; its back half is drawn before the ship
// and its front half after, so the ship flies through it.
void RingHalf(cairo_t* cr, bool front) {
  cairo_save(cr);
  cairo_translate(cr, 128, 150);
  cairo_scale(cr, 1.0, 0.34);
  cairo_new_path(cr);
  if (front) {
    cairo_arc(cr, 0, 0, 96, 0, M_PI);
  } else {
    cairo_arc(cr, 0, 0, 96, M_PI, 2 * M_PI);
  }
  cairo_restore(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 16);
  SetColour(cr, pal::kDarkGreen, front ? 0.55 : 0.35);
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, 6);
  SetColour(cr, pal::kGreen, front ? 1.0 : 0.6);
  cairo_stroke(cr);
}

void Ship(cairo_t* cr) {
  Glow(cr, 128, 116, 70, 0x3A90FF, 0.35);
  cairo_save(cr);
  // The sprite frame is 65 x 100; scaled to about two thirds of the tile's height.
  constexpr double kScale = 1.72;
  cairo_translate(cr, 128 - 32.5 * kScale, 26);
  cairo_scale(cr, kScale, kScale);
  DrawPlayerShipFrame(cr, 0.0, 1);
  cairo_restore(cr);
}

void Paint(Canvas& canvas) {
  cairo_t* cr = canvas.cr();
  cairo_save(cr);
  cairo_scale(cr, canvas.width() / kUnits, canvas.height() / kUnits);
  Tile(cr);
  RoundRect(cr, 8, 8, 240, 240, 44);
  cairo_clip(cr);
  Stars(cr);
  RingHalf(cr, false);
  Ship(cr);
  RingHalf(cr, true);
  cairo_restore(cr);
}

}  // namespace

std::vector<uint32_t> DrawIcon(int size) {
  Canvas canvas(size, size);
  Paint(canvas);
  // Cairo keeps colours premultiplied by their alpha; icons want them straight.
  std::vector<uint32_t> pixels(size_t(size) * size);
  for (int y = 0; y < size; ++y) {
    const uint32_t* row = canvas.Row(y);
    for (int x = 0; x < size; ++x) {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      uint32_t out = a << 24;
      if (a != 0) {
        for (int shift = 0; shift <= 16; shift += 8) {
          const uint32_t c = (((p >> shift) & 0xFF) * 255 + a / 2) / a;
          out |= (c > 255 ? 255 : c) << shift;
        }
      }
      pixels[size_t(y) * size + x] = out;
    }
  }
  return pixels;
}

void WriteIconPng(int size, const std::string& path) {
  Canvas canvas(size, size);
  Paint(canvas);
  cairo_surface_flush(canvas.surface());
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  if (cairo_surface_write_to_png(canvas.surface(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write " + path);
  }
}

namespace {

cairo_status_t AppendPng(void* closure, const unsigned char* data, unsigned int length) {
  auto* bytes = static_cast<std::string*>(closure);
  bytes->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

void WriteIconIco(const std::vector<int>& sizes, const std::string& path) {
  std::vector<std::string> images;
  for (int size : sizes) {
    Canvas canvas(size, size);
    Paint(canvas);
    cairo_surface_flush(canvas.surface());
    std::string png;
    if (cairo_surface_write_to_png_stream(canvas.surface(), AppendPng, &png) != CAIRO_STATUS_SUCCESS) {
      throw std::runtime_error("cannot encode the icon for " + path);
    }
    images.push_back(std::move(png));
  }
  // ICONDIR, then one ICONDIRENTRY per image, then the images themselves.
  std::string ico;
  PutLe(ico, 0, 2);
  PutLe(ico, 1, 2);  // an icon, not a cursor
  PutLe(ico, static_cast<uint32_t>(sizes.size()), 2);
  uint32_t offset = static_cast<uint32_t>(6 + 16 * sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) {
    const uint32_t side = sizes[i] >= 256 ? 0 : static_cast<uint32_t>(sizes[i]);  // 0 means 256
    PutLe(ico, side, 1);
    PutLe(ico, side, 1);
    PutLe(ico, 0, 1);   // no palette
    PutLe(ico, 0, 1);
    PutLe(ico, 1, 2);   // colour planes
    PutLe(ico, 32, 2);  // bits per pixel
    PutLe(ico, static_cast<uint32_t>(images[i].size()), 4);
    PutLe(ico, offset, 4);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const std::string& image : images) ico += image;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(ico.data(), static_cast<std::streamsize>(ico.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace packgen
