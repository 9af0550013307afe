// Asteroids (rendered as lumpy lit rocks that turn through eight frames), explosions (flash,
// fireball, smoke, fade over sixteen frames) and the nine bonus pickups.
#include <algorithm>
#include <array>
#include <cmath>

#include "canvas.h"
#include "layout.h"
#include "paint.h"
#include "rng.h"
#include "sprites.h"

namespace packgen {

namespace {

struct V3 {
  double x, y, z;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(V3 a) { return std::sqrt(Dot(a, a)); }
V3 Normalise(V3 a) { return a * (1.0 / Length(a)); }

// Rotation of v about a unit axis (Rodrigues).
V3 Rotate(V3 v, V3 axis, double angle) {
  double c = std::cos(angle), s = std::sin(angle);
  return v * c + Cross(axis, v) * s + axis * (Dot(axis, v) * (1 - c));
}

// Smooth 3-D value noise, about 0..1.
double Noise3(uint64_t seed, V3 p) {
  auto lattice = [seed](int x, int y, int z) {
    uint64_t h = seed * 0x9E3779B97F4A7C15ull ^ uint64_t(x) * 0x632BE59BD9B4E019ull ^
                 uint64_t(y) * 0x85157AF5ull ^ uint64_t(z) * 0xC2B2AE3D27D4EB4Full;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return double(h & 0xFFFF) / 65535.0;
  };
  double fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
  int ix = int(fx), iy = int(fy), iz = int(fz);
  auto sm = [](double t) { return t * t * (3 - 2 * t); };
  double tx = sm(p.x - fx), ty = sm(p.y - fy), tz = sm(p.z - fz);
  double r = 0;
  for (int k = 0; k < 8; ++k) {
    int dx = k & 1, dy = (k >> 1) & 1, dz = (k >> 2) & 1;
    r += lattice(ix + dx, iy + dy, iz + dz) * (dx ? tx : 1 - tx) * (dy ? ty : 1 - ty) *
         (dz ? tz : 1 - tz);
  }
  return r;
}

double Fractal3(uint64_t seed, V3 p, int octaves) {
  double sum = 0, amp = 0.5, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * Noise3(seed + o, p * double(1 << o));
    norm += amp;
    amp *= 0.5;
  }
  return sum / norm;
}

uint32_t Premultiply(double r, double g, double b, double a) {
  auto c = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return c(a) << 24 | c(r * a) << 16 | c(g * a) << 8 | c(b * a);
}

// --- asteroids ---

struct Rock {
  uint64_t seed;
  V3 axis;
  double lumps;
};

// Surface radius of the rock in body direction d (unit vector).
double RockRadius(const Rock& rock, V3 d) {
  return 0.78 + rock.lumps * (Fractal3(rock.seed, d * 1.6 + V3{5, 5, 5}, 3) - 0.5);
}

double RockField(const Rock& rock, V3 p, double angle) {
  double len = Length(p);
  if (len < 1e-6) return -1;
  V3 body = Rotate(p * (1.0 / len), rock.axis, -angle);
  return len - RockRadius(rock, body);
}

void RenderRockFrame(Canvas& canvas, const Rock& rock, int x0, int w, int h, double angle,
                     uint32_t base) {
  const V3 light = Normalise({-0.6, -0.7, 0.55});
  const double scale = std::max(w, h) / 2.0 - 1;  // a unit sphere spans the longer side
  const double sy = double(h) / double(std::max(w, h));
  for (int y = 0; y < h; ++y) {
    uint32_t* row = canvas.Row(y);
    for (int x = 0; x < w; ++x) {
      double r = 0, g = 0, b = 0, cover = 0;
      for (int s = 0; s < 4; ++s) {
        double u = (x + 0.25 + 0.5 * (s & 1) - w / 2.0) / scale;
        double v = (y + 0.25 + 0.5 * (s >> 1) - h / 2.0) / (scale * sy);
        // March from the viewer (+z) into the rock.
        double z = 1.2;
        bool hit = false;
        for (int i = 0; i < 48 && z > -1.2; ++i, z -= 0.05) {
          if (RockField(rock, {u, v, z}, angle) < 0) {
            hit = true;
            break;
          }
        }
        if (!hit) continue;
        V3 p{u, v, z};
        const double e = 0.02;
        V3 n = Normalise({RockField(rock, p + V3{e, 0, 0}, angle) - RockField(rock, p + V3{-e, 0, 0}, angle),
                          RockField(rock, p + V3{0, e, 0}, angle) - RockField(rock, p + V3{0, -e, 0}, angle),
                          RockField(rock, p + V3{0, 0, e}, angle) - RockField(rock, p + V3{0, 0, -e}, angle)});
        V3 body = Rotate(p, rock.axis, -angle);
        double grain = Fractal3(rock.seed + 50, body * 5.0, 3);
        double crater = std::clamp((Fractal3(rock.seed + 90, body * 2.5, 2) - 0.6) * 6, 0.0, 1.0);
        double lit = 0.16 + 0.95 * std::max(0.0, Dot(n, light));
        double tone = lit * (0.75 + 0.5 * grain) * (1 - 0.45 * crater);
        r += ((base >> 16) & 0xFF) / 255.0 * tone;
        g += ((base >> 8) & 0xFF) / 255.0 * tone;
        b += (base & 0xFF) / 255.0 * tone;
        cover += 1;
      }
      if (cover > 0) row[x0 + x] = Premultiply(r / cover, g / cover, b / cover, cover / 4);
    }
  }
  canvas.MarkDirty();
}

// --- explosions ---

struct Blast {
  uint32_t hot, mid, cool, smoke;
};
constexpr Blast kBlasts[6] = {
    {0xFFF8D0, 0xFFB030, 0xE04010, 0x504040},  // small: fire
    {0xF0FFFF, 0x70C8FF, 0x2050E0, 0x303858},  // small: plasma
    {0xF0FFE0, 0x90FF60, 0x20A040, 0x304038},  // small: green
    {0xFFF8D0, 0xFFB030, 0xE04010, 0x4A3C38},  // large: fireball
    {0xF0FFFF, 0x70C8FF, 0x3050E0, 0x34305A},  // large: plasma blue
    {0xFFF0C0, 0xFF8020, 0xC02010, 0x3A3030},  // large: heavy red
};

uint32_t Ramp(const Blast& c, double heat) {
  if (heat > 0.75) return Mix(c.mid, c.hot, std::min(1.0, (heat - 0.75) / 0.25));
  if (heat > 0.45) return Mix(c.cool, c.mid, (heat - 0.45) / 0.3);
  return Mix(c.smoke, c.cool, std::max(0.0, heat / 0.45));
}

void RenderBlastFrame(Canvas& canvas, int kind, int frame, int size) {
  const Blast& colours = kBlasts[kind];
  const double t = frame / 15.0;
  const double half = size / 2.0;
  const double radius = 0.36 + 0.55 * std::sqrt(t);  // of the half size
  const double heatPeak = 1.5 * std::pow(1 - t, 1.3) + 0.1;
  const double fade = t < 0.6 ? 1.0 : std::max(0.0, 1 - (t - 0.6) / 0.45);
  const uint64_t seed = 1000 + kind;
  const int x0 = frame * size;
  for (int y = 0; y < size; ++y) {
    uint32_t* row = canvas.Row(y);
    for (int x = 0; x < size; ++x) {
      double u = (x + 0.5 - half) / half, v = (y + 0.5 - half) / half;
      double d = std::sqrt(u * u + v * v);
      double detail = size > 32 ? 3.0 : 1.6;
      double n = Fractal3(seed, {u * detail, v * detail, t * 1.5}, size > 32 ? 4 : 2);
      double shape = 1 - d / radius + (n - 0.5) * 0.75;
      if (shape <= 0) continue;
      // Later frames hollow out: the fireball breaks into a ring of smoke.
      double hollow = std::clamp((t - 0.45) * 2.2, 0.0, 1.0) * std::clamp(1 - d / (radius * 0.7), 0.0, 1.0);
      double heat = std::clamp(shape * heatPeak * 1.8 - hollow * 0.5, 0.0, 1.2);
      double alpha = std::clamp(shape * 3.5, 0.0, 1.0) * fade * (1 - hollow * 0.8);
      if (frame < 2) heat = std::max(heat, 1.0 - d);
      uint32_t c = Ramp(colours, heat);
      row[x0 + x] = Premultiply(((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                (c & 0xFF) / 255.0, alpha);
    }
  }
  canvas.MarkDirty();
  // Sparks flying out, brightest early.
  cairo_t* cr = canvas.cr();
  cairo_save(cr);
  cairo_rectangle(cr, x0, 0, size, size);
  cairo_clip(cr);
  Rng rng(seed);
  int sparks = size > 32 ? 14 : 5;
  for (int i = 0; i < sparks; ++i) {
    double a = rng.Range(0, 2 * M_PI), speed = rng.Range(0.5, 1.0);
    double dist = half * (0.2 + speed * 1.1 * t);
    double alpha = std::max(0.0, 1 - t * 1.4);
    if (alpha <= 0) continue;
    double sx = x0 + half + std::cos(a) * dist, sy = half + std::sin(a) * dist;
    SetColour(cr, colours.hot, alpha);
    cairo_arc(cr, sx, sy, size > 32 ? 1.3 : 0.7, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  if (frame < 3) Glow(cr, x0 + half, half, half * (0.35 + frame * 0.2), colours.hot, 1.0);
  cairo_restore(cr);
}

// --- bonuses ---

constexpr uint32_t kBonusColours[9] = {0x3070FF, 0x30D040, 0xFFC820, 0xFF3828, 0x30D0FF,
                                       0x9050FF, 0xFF8A20, 0xB01830, 0x8090A8};

void SymbolStyle(cairo_t* cr) {
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 2.2);
  SetColour(cr, 0x101018, 0.85);
  cairo_stroke_preserve(cr);
  SetColour(cr, 0xFFFFFF);
  cairo_fill(cr);
}

void BonusSymbol(cairo_t* cr, int kind, double cx, double cy, double s) {
  cairo_new_path(cr);
  switch (kind) {
    case 0:  // shield
      cairo_move_to(cr, cx, cy - s);
      cairo_curve_to(cr, cx + s * 0.5, cy - s * 0.7, cx + s * 0.8, cy - s * 0.8, cx + s * 0.8, cy - s * 0.8);
      cairo_curve_to(cr, cx + s * 0.8, cy + s * 0.1, cx + s * 0.5, cy + s * 0.7, cx, cy + s);
      cairo_curve_to(cr, cx - s * 0.5, cy + s * 0.7, cx - s * 0.8, cy + s * 0.1, cx - s * 0.8, cy - s * 0.8);
      cairo_curve_to(cr, cx - s * 0.8, cy - s * 0.8, cx - s * 0.5, cy - s * 0.7, cx, cy - s);
      cairo_close_path(cr);
      SymbolStyle(cr);
      break;
    case 1:  // a ship: one more life
      cairo_move_to(cr, cx, cy - s);
      cairo_line_to(cr, cx + s * 0.25, cy - s * 0.2);
      cairo_line_to(cr, cx + s * 0.9, cy + s * 0.5);
      cairo_line_to(cr, cx + s * 0.9, cy + s * 0.8);
      cairo_line_to(cr, cx + s * 0.25, cy + s * 0.6);
      cairo_line_to(cr, cx, cy + s * 0.9);
      cairo_line_to(cr, cx - s * 0.25, cy + s * 0.6);
      cairo_line_to(cr, cx - s * 0.9, cy + s * 0.8);
      cairo_line_to(cr, cx - s * 0.9, cy + s * 0.5);
      cairo_line_to(cr, cx - s * 0.25, cy - s * 0.2);
      cairo_close_path(cr);
      SymbolStyle(cr);
      break;
    case 2:  // lightning bolt
      cairo_move_to(cr, cx + s * 0.2, cy - s);
      cairo_line_to(cr, cx - s * 0.55, cy + s * 0.1);
      cairo_line_to(cr, cx - s * 0.05, cy + s * 0.1);
      cairo_line_to(cr, cx - s * 0.25, cy + s);
      cairo_line_to(cr, cx + s * 0.6, cy - s * 0.2);
      cairo_line_to(cr, cx + s * 0.08, cy - s * 0.2);
      cairo_close_path(cr);
      SymbolStyle(cr);
      break;
    case 3:  // ion fan: three darts spreading from the gun
      for (int i = -1; i <= 1; ++i) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy + s * 0.85);
        cairo_rotate(cr, i * 0.5);
        cairo_move_to(cr, 0, -s * 1.75);
        cairo_line_to(cr, s * 0.26, -s * 1.05);
        cairo_line_to(cr, s * 0.1, -s * 1.0);
        cairo_line_to(cr, s * 0.1, -s * 0.35);
        cairo_line_to(cr, -s * 0.1, -s * 0.35);
        cairo_line_to(cr, -s * 0.1, -s * 1.0);
        cairo_line_to(cr, -s * 0.26, -s * 1.05);
        cairo_close_path(cr);
        cairo_restore(cr);
      }
      SymbolStyle(cr);
      break;
    case 4:  // laser: a long slug between two rails
      RoundRect(cr, cx - s * 0.16, cy - s, s * 0.32, s * 2, s * 0.16);
      cairo_rectangle(cr, cx - s * 0.7, cy - s * 0.35, s * 0.16, s * 1.1);
      cairo_rectangle(cr, cx + s * 0.54, cy - s * 0.35, s * 0.16, s * 1.1);
      SymbolStyle(cr);
      break;
    case 5:  // plasma ball with rings
      cairo_arc(cr, cx, cy, s * 0.5, 0, 2 * M_PI);
      SymbolStyle(cr);
      cairo_set_line_width(cr, 2);
      SetColour(cr, 0xFFFFFF);
      Ellipse(cr, cx, cy, s * 0.95, s * 0.3);
      cairo_stroke(cr);
      break;
    case 6:  // two missiles
      for (int side : {-1, 1}) {
        double x = cx + side * s * 0.4;
        cairo_move_to(cr, x, cy - s);
        cairo_line_to(cr, x + s * 0.2, cy - s * 0.6);
        cairo_line_to(cr, x + s * 0.2, cy + s * 0.5);
        cairo_line_to(cr, x + s * 0.38, cy + s * 0.95);
        cairo_line_to(cr, x - s * 0.38, cy + s * 0.95);
        cairo_line_to(cr, x - s * 0.2, cy + s * 0.5);
        cairo_line_to(cr, x - s * 0.2, cy - s * 0.6);
        cairo_close_path(cr);
      }
      SymbolStyle(cr);
      break;
    case 7: {  // skull
      cairo_arc(cr, cx, cy - s * 0.15, s * 0.75, M_PI * 0.85, M_PI * 2.15);
      cairo_line_to(cr, cx + s * 0.45, cy + s * 0.55);
      cairo_line_to(cr, cx + s * 0.4, cy + s * 0.9);
      cairo_line_to(cr, cx - s * 0.4, cy + s * 0.9);
      cairo_line_to(cr, cx - s * 0.45, cy + s * 0.55);
      cairo_close_path(cr);
      SymbolStyle(cr);
      SetColour(cr, 0x200008);
      for (int side : {-1, 1}) {
        Ellipse(cr, cx + side * s * 0.3, cy - s * 0.1, s * 0.2, s * 0.24);
        cairo_fill(cr);
      }
      cairo_move_to(cr, cx, cy + s * 0.2);
      cairo_line_to(cr, cx + s * 0.12, cy + s * 0.42);
      cairo_line_to(cr, cx - s * 0.12, cy + s * 0.42);
      cairo_close_path(cr);
      cairo_fill(cr);
      cairo_set_line_width(cr, 1.2);
      for (int i = -1; i <= 1; ++i) {
        cairo_move_to(cr, cx + i * s * 0.18, cy + s * 0.62);
        cairo_line_to(cr, cx + i * s * 0.18, cy + s * 0.9);
      }
      cairo_stroke(cr);
      break;
    }
    default: {  // bomb with a lit fuse
      cairo_arc(cr, cx - s * 0.1, cy + s * 0.15, s * 0.7, 0, 2 * M_PI);
      cairo_set_line_width(cr, 2.2);
      SetColour(cr, 0xFFFFFF);
      cairo_stroke_preserve(cr);
      SetColour(cr, 0x202430);
      cairo_fill(cr);
      SetColour(cr, 0xFFFFFF, 0.7);
      cairo_arc(cr, cx - s * 0.35, cy - s * 0.1, s * 0.15, 0, 2 * M_PI);
      cairo_fill(cr);
      cairo_set_line_width(cr, 2);
      SetColour(cr, 0xE0D0B0);
      cairo_move_to(cr, cx + s * 0.35, cy - s * 0.4);
      cairo_curve_to(cr, cx + s * 0.5, cy - s * 0.8, cx + s * 0.7, cy - s * 0.6, cx + s * 0.75, cy - s * 0.9);
      cairo_stroke(cr);
      Glow(cr, cx + s * 0.75, cy - s * 0.9, s * 0.4, 0xFFB030, 1.0);
      break;
    }
  }
}

void BonusFrame(cairo_t* cr, int kind, int frame, double w, double h) {
  const uint32_t colour = kBonusColours[kind];
  const double cx = w / 2, cy = h / 2;
  const double r = std::min(w, h) / 2 - 6;
  const double pulse = 0.5 + 0.5 * std::cos(frame * 2 * M_PI / kBonusFrames);
  Glow(cr, cx, cy, r + 5, colour, 0.45 + 0.35 * pulse);
  // The orb, lit from the top left.
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.45, r * 0.05, cx, cy, r);
  AddStop(p, 0, Mix(colour, 0xFFFFFF, 0.75));
  AddStop(p, 0.45, colour);
  AddStop(p, 1, Scale(colour, 0.25));
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // An orbit ring turning half a turn over the eight frames (an ellipse looks the same after
  // half a turn, so the loop is seamless).
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, frame * M_PI / kBonusFrames);
  cairo_scale(cr, 1, 0.32);
  cairo_arc(cr, 0, 0, r + 3, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_set_line_width(cr, 1.6);
  SetColour(cr, Mix(colour, 0xFFFFFF, 0.6), 0.9);
  cairo_stroke(cr);
  BonusSymbol(cr, kind, cx, cy, r * 0.62);
  // Glass highlight.
  SetColour(cr, 0xFFFFFF, 0.35);
  Ellipse(cr, cx - r * 0.35, cy - r * 0.5, r * 0.35, r * 0.18);
  cairo_fill(cr);
}

}  // namespace

void DrawBonusSymbol(cairo_t* cr, int kind, double cx, double cy, double size) {
  BonusSymbol(cr, kind, cx, cy, size);
}

Picture DrawAsteroid(int kind) {
  Size frame = kAsteroidSizes[kind];
  Canvas canvas(frame.w * kAsteroidFrames, frame.h);
  Rock rock{kind == 0 ? 7001u : 7002u, Normalise({0.35, 1.0, 0.25}), kind == 0 ? 0.45 : 0.55};
  const uint32_t base = kind == 0 ? 0x8A7E74 : 0x7C6A60;
  for (int f = 0; f < kAsteroidFrames; ++f)
    RenderRockFrame(canvas, rock, f * frame.w, frame.w, frame.h, f * 2 * M_PI / kAsteroidFrames, base);
  return canvas.Keyed(kMagentaKey);
}

Picture DrawExplosion(int kind) {
  int size = kHitSizes[kind];
  Canvas canvas(size * kHitFrames, size);
  for (int f = 0; f < kHitFrames; ++f) RenderBlastFrame(canvas, kind, f, size);
  return canvas.Keyed(kMagentaKey, 60);
}

Picture DrawBonus(int kind) {
  Size frame = kBonusSizes[kind];
  Canvas canvas(frame.w * kBonusFrames, frame.h);
  ForEachFrame(canvas.cr(), frame.w, frame.h, kBonusFrames,
               [&](int i) { BonusFrame(canvas.cr(), kind, i, frame.w, frame.h); });
  return canvas.Keyed(kMagentaKey, 80);
}

}  // namespace packgen
