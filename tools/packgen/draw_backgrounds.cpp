// Space backgrounds: the scrolling far tile, the five near overlay tiles and the menu
// backdrop. Tiles wrap: noise repeats with the tile and every object is also drawn shifted by
// one tile in each direction, so the copies join without a seam.
#include <algorithm>
#include <cmath>

#include "canvas.h"
#include "layout.h"
#include "paint.h"
#include "rng.h"
#include "sprites.h"

namespace packgen {

namespace {

double SmoothStep(double a, double b, double x) {
  double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Nebula clouds: two tiling noise fields tinted purple and blue over deep space.
// `calm` (optional) scales the clouds down where text will sit.
void PaintNebula(Canvas& canvas, uint64_t seed, int cellsX, int cellsY, double strength,
                 double (*calm)(int x, int y) = nullptr) {
  TileNoise purple(seed, cellsX, cellsY), blue(seed + 17, cellsX, cellsY);
  TileNoise grain(seed + 31, cellsX * 8, cellsY * 8);
  const int w = canvas.width(), h = canvas.height();
  for (int y = 0; y < h; ++y) {
    uint32_t* row = canvas.Row(y);
    for (int x = 0; x < w; ++x) {
      double u = double(x) * cellsX / w, v = double(y) * cellsY / h;
      double p = SmoothStep(0.42, 0.85, purple.Fractal(u, v, 4));
      double b = SmoothStep(0.45, 0.9, blue.Fractal(u + 0.5, v + 0.5, 4));
      double g = (grain.At(u * 8, v * 8) * 0.25 + 0.75) * (calm ? calm(x, y) : 1.0);
      double r = 5 + strength * g * (52 * p + 8 * b);
      double gr = 6 + strength * g * (14 * p + 30 * b);
      double bl = 15 + strength * g * (70 * p + 78 * b);
      row[x] = 0xFF000000u | uint32_t(std::min(255.0, r)) << 16 |
               uint32_t(std::min(255.0, gr)) << 8 | uint32_t(std::min(255.0, bl));
    }
  }
  canvas.MarkDirty();
}

uint32_t StarColour(Rng& rng) {
  static constexpr uint32_t kTints[] = {0xFFFFFF, 0xCFE0FF, 0xA8C4FF, 0xFFF2D8, 0xFFD8C0};
  return kTints[rng.Int(5)];
}

// One star: a dot, with a halo and thin spikes when bright.
void Star(cairo_t* cr, double x, double y, double size, uint32_t colour, double brightness) {
  if (size > 1.6) {
    Glow(cr, x, y, size * 3.2, colour, 0.35 * brightness);
    SetColour(cr, colour, 0.55 * brightness);
    cairo_set_line_width(cr, 0.8);
    cairo_move_to(cr, x - size * 4, y);
    cairo_line_to(cr, x + size * 4, y);
    cairo_move_to(cr, x, y - size * 4);
    cairo_line_to(cr, x, y + size * 4);
    cairo_stroke(cr);
  }
  SetColour(cr, Mix(colour, 0xFFFFFF, 0.4), brightness);
  cairo_arc(cr, x, y, size * 0.5, 0, 2 * M_PI);
  cairo_fill(cr);
}

// Calls draw(dx, dy) for the nine tile-shifted copies of an object.
template <typename F>
void Wrapped(int w, int h, F draw) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) draw(double(dx * w), double(dy * h));
}

void StarField(Canvas& canvas, uint64_t seed, int dim, int medium, int bright, bool wrap) {
  Rng rng(seed);
  cairo_t* cr = canvas.cr();
  const int w = canvas.width(), h = canvas.height();
  auto scatter = [&](int count, double sizeLo, double sizeHi, double briLo, double briHi) {
    for (int i = 0; i < count; ++i) {
      double x = rng.Range(0, w), y = rng.Range(0, h);
      double size = rng.Range(sizeLo, sizeHi), bri = rng.Range(briLo, briHi);
      uint32_t colour = StarColour(rng);
      if (wrap) {
        Wrapped(w, h, [&](double dx, double dy) { Star(cr, x + dx, y + dy, size, colour, bri); });
      } else {
        Star(cr, x, y, size, colour, bri);
      }
    }
  };
  scatter(dim, 0.9, 1.3, 0.25, 0.6);
  scatter(medium, 1.2, 1.6, 0.55, 0.9);
  scatter(bright, 1.8, 2.6, 0.8, 1.0);
}

// A lumpy rock outline lit from the top left.
void Rock(cairo_t* cr, Rng& rng, double x, double y, double r, uint32_t base) {
  const int points = 9;
  double radii[points];
  for (double& rr : radii) rr = r * rng.Range(0.7, 1.1);
  double turn = rng.Range(0, 2 * M_PI);
  cairo_new_path(cr);
  for (int i = 0; i < points; ++i) {
    double a = turn + i * 2 * M_PI / points;
    cairo_line_to(cr, x + std::cos(a) * radii[i], y + std::sin(a) * radii[i] * 0.85);
  }
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.4, y - r * 0.4, r * 0.1, x, y, r * 1.2);
  AddStop(p, 0, Mix(base, 0xFFFFFF, 0.35));
  AddStop(p, 0.6, base);
  AddStop(p, 1, Scale(base, 0.25));
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// A broken hull plate with a lit edge and two rivets.
void Wreck(cairo_t* cr, Rng& rng, double x, double y, double size) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, rng.Range(0, 2 * M_PI));
  cairo_move_to(cr, -size, -size * 0.4);
  cairo_line_to(cr, size * 0.6, -size * 0.55);
  cairo_line_to(cr, size, size * 0.1);
  cairo_line_to(cr, size * 0.3, size * 0.2);
  cairo_line_to(cr, size * 0.1, size * 0.5);
  cairo_line_to(cr, -size * 0.8, size * 0.35);
  cairo_close_path(cr);
  cairo_restore(cr);
  FillMetal(cr, 0x5A6680, x - size, y - size, size * 2, size * 2);
  StrokeBevel(cr, 0.8, 0x1A2030);
  cairo_new_path(cr);
  SetColour(cr, 0xB0BCD8);
  for (int i = 0; i < 2; ++i) {
    cairo_arc(cr, x + rng.Range(-size, size) * 0.4, y + rng.Range(-size, size) * 0.2, 0.9, 0,
              2 * M_PI);
    cairo_fill(cr);
  }
}

// A small comet head with a tail pointing up (the layer scrolls down past the ship).
void Comet(cairo_t* cr, double x, double y, double len, uint32_t colour) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x - len * 0.15, y - len);
  AddStop(p, 0, colour, 0.9);
  AddStop(p, 1, colour, 0.0);
  cairo_set_source(cr, p);
  cairo_move_to(cr, x - 2.6, y);
  cairo_line_to(cr, x - len * 0.15, y - len);
  cairo_line_to(cr, x + 2.6, y);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Glow(cr, x, y, 5, colour, 1.0);
  SetColour(cr, 0xFFFFFF);
  cairo_arc(cr, x, y, 1.6, 0, 2 * M_PI);
  cairo_fill(cr);
}

// A distant spiral galaxy: two arms of faint stars round a warm core, seen at a slant.
void Galaxy(cairo_t* cr, double cx, double cy, double r, double tilt, uint64_t seed = 808) {
  Rng rng(seed);
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, tilt);
  cairo_scale(cr, 1, 0.42);
  Glow(cr, 0, 0, r * 0.9, 0x5A48A0, 0.35);
  const int stars = std::max(60, int(r * r * 0.1));
  for (int i = 0; i < stars; ++i) {
    double arm = i % 2 ? M_PI : 0;
    double t = rng.Unit();
    double a = arm + t * 3.2 * M_PI;
    double d = r * 0.08 + r * t * 0.92;
    double spread = r * 0.05 + r * 0.12 * t;
    double x = std::cos(a) * d + rng.Gauss() * spread, y = std::sin(a) * d + rng.Gauss() * spread;
    SetColour(cr, Mix(0xFFE8C0, 0x9AB0FF, t), 0.35 + 0.4 * (1 - t));
    cairo_arc(cr, x, y, 0.6 + 0.5 * rng.Unit(), 0, 2 * M_PI);
    cairo_fill(cr);
  }
  Glow(cr, 0, 0, r * 0.22, 0xFFE0B0, 0.9);
  cairo_restore(cr);
}

}  // namespace

Picture DrawFarTile() {
  Canvas canvas(kFarTile.w, kFarTile.h);
  PaintNebula(canvas, 101, 4, 4, 1.0);
  StarField(canvas, 202, 420, 60, 7, true);
  // Two small far galaxies, kept tiny so their repeat down the screen is not noticed.
  cairo_t* cr = canvas.cr();
  const struct { double x, y, r, tilt; } kGalaxies[] = {{120, 380, 16, 0.5}, {410, 90, 11, -0.8}};
  for (const auto& g : kGalaxies) {
    Wrapped(kFarTile.w, kFarTile.h, [&](double dx, double dy) {
      Galaxy(cr, g.x + dx, g.y + dy, g.r, g.tilt, 811 + uint64_t(g.r));
    });
  }
  return canvas.Opaque(pal::kSpace);
}

Picture DrawNearTile(int variant) {
  const int w = kNearTile.w, h = kNearTile.h;
  Canvas canvas(w, h);
  cairo_t* cr = canvas.cr();
  Rng rng(300 + variant);
  switch (variant) {
    case 0:  // a few close, bright stars
      for (int i = 0; i < 7; ++i) {
        double x = rng.Range(0, w), y = rng.Range(0, h), s = rng.Range(1.4, 2.6);
        uint32_t c = StarColour(rng);
        Wrapped(w, h, [&](double dx, double dy) { Star(cr, x + dx, y + dy, s, c, 1.0); });
      }
      break;
    case 1:  // drifting pebbles
      for (int i = 0; i < 3; ++i) {
        double x = rng.Range(0, w), y = rng.Range(0, h), r = rng.Range(2.5, 7);
        uint64_t seed = rng.Next();
        Wrapped(w, h, [&](double dx, double dy) {
          Rng shape(seed);
          Rock(cr, shape, x + dx, y + dy, r, 0x5A5058);
        });
      }
      break;
    case 2:  // wreckage of an earlier battle
      for (int i = 0; i < 3; ++i) {
        double x = rng.Range(0, w), y = rng.Range(0, h), s = rng.Range(5, 9);
        uint64_t seed = rng.Next();
        Wrapped(w, h, [&](double dx, double dy) {
          Rng shape(seed);
          Wreck(cr, shape, x + dx, y + dy, s);
        });
      }
      break;
    case 3:  // icy comets
      for (int i = 0; i < 2; ++i) {
        double x = rng.Range(0, w), y = rng.Range(0, h), len = rng.Range(30, 50);
        Wrapped(w, h, [&](double dx, double dy) { Comet(cr, x + dx, y + dy, len, 0x60D0FF); });
      }
      break;
    default:  // a cluster of violet dust with two bright stars
      for (int i = 0; i < 40; ++i) {
        double x = 150 + rng.Gauss() * 55, y = 100 + rng.Gauss() * 40, s = rng.Range(0.9, 1.5);
        uint32_t c = Mix(0xB890FF, 0xFFFFFF, rng.Unit() * 0.5);
        double bri = rng.Range(0.6, 1.0);
        Wrapped(w, h, [&](double dx, double dy) { Star(cr, x + dx, y + dy, s, c, bri); });
      }
      for (int i = 0; i < 2; ++i) {
        double x = rng.Range(0, w), y = rng.Range(0, h);
        Wrapped(w, h, [&](double dx, double dy) { Star(cr, x + dx, y + dy, 2.2, 0xE0D0FF, 1); });
      }
      break;
  }
  return canvas.Keyed(kBlackKey, 110);
}

namespace {

// The menu's text column (help pages, options rows) sits over calmer, darker clouds.
double MenuCalm(int x, int y) {
  double dx = (x - 340) / 330.0, dy = (y - 320) / 170.0;
  return 1 - 0.5 * std::exp(-(dx * dx + dy * dy));
}

// A large banded planet, lit from the top left, with a thin atmosphere.
void PaintPlanet(Canvas& canvas, double px, double py, double pr) {
  const double lx = -0.55, ly = -0.75, lz = 0.37;
  TileNoise swirl(909, 16, 16);
  for (int y = std::max(0, int(py - pr - 40)); y < canvas.height(); ++y) {
    uint32_t* row = canvas.Row(y);
    for (int x = 0; x < canvas.width(); ++x) {
      double nx = (x + 0.5 - px) / pr, ny = (y + 0.5 - py) / pr;
      double d2 = nx * nx + ny * ny;
      uint32_t under = row[x] & 0xFFFFFF;
      if (d2 >= 1.0) {
        // Atmospheric halo just outside the limb, strongest towards the light.
        double d = std::sqrt(d2);
        double halo = std::exp(-(d - 1) * pr / 14.0) * std::max(0.0, -(nx * lx + ny * ly) / d);
        if (halo > 0.004) row[x] = 0xFF000000u | Mix(under, 0x6FA0FF, std::min(1.0, halo * 0.8));
        continue;
      }
      double nz = std::sqrt(1 - d2);
      double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
      // Bands follow latitude around a pole near the top of the visible cap.
      double lat = std::asin(std::clamp(ny * 0.9 + nz * 0.44, -1.0, 1.0));
      double turb = swirl.Fractal((nx + 1) * 6, (lat + 2) * 6, 4);
      double band = 0.5 + 0.5 * std::sin(lat * 38 + turb * 5.5);
      uint32_t surface = Mix(Mix(0x1A2660, 0x4A6CC0, band), 0x8A7AD0, std::clamp((turb - 0.55) * 3, 0.0, 0.6));
      double light = 0.04 + 0.96 * std::pow(diffuse, 0.8);
      uint32_t c = Scale(surface, light * 1.15);
      double rim = std::pow(1 - nz, 3) * (0.25 + 0.75 * diffuse);
      c = Mix(c, 0x9CC4FF, std::min(0.85, rim * 1.6));
      // Soft antialiased limb.
      double edge = std::clamp((1 - std::sqrt(d2)) * pr, 0.0, 1.0);
      row[x] = 0xFF000000u | Mix(under, c, edge);
    }
  }
  canvas.MarkDirty();
}

}  // namespace

Picture DrawMenuBackground() {
  Canvas canvas(kScreen.w, kScreen.h);
  PaintNebula(canvas, 505, 5, 4, 1.25, MenuCalm);
  StarField(canvas, 606, 700, 110, 12, false);
  cairo_t* cr = canvas.cr();
  Galaxy(cr, 640, 185, 95, -0.35);
  PaintPlanet(canvas, 260, 1300, 780);
  // A small moon far off, clear of every page's text.
  const double mx = 318, my = 46, mr = 13;
  cairo_pattern_t* moon = cairo_pattern_create_radial(mx - 5, my - 5, 1, mx, my, mr);
  AddStop(moon, 0, 0xE8E0F0);
  AddStop(moon, 0.5, 0x8A7CA0);
  AddStop(moon, 1, 0x1A1428);
  cairo_set_source(cr, moon);
  cairo_arc(cr, mx, my, mr, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(moon);
  return canvas.Opaque(pal::kSpace);
}

}  // namespace packgen
