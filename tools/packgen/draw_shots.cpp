// Shots: every kind drawn flying down the screen (the player's are the same pictures turned
// upside down). Colour tells the weapon: cyan bolts, red-nosed rockets, blue plasma, white-blue
// beams, green stars; enemy-only kinds run orange, red and amber.
#include <algorithm>
#include <cmath>

#include "canvas.h"
#include "hull.h"
#include "layout.h"
#include "paint.h"
#include "sprites.h"

namespace packgen {

namespace {

// An elongated glowing bolt centred at (cx, cy).
void Bolt(cairo_t* cr, double cx, double cy, double rx, double ry, uint32_t colour, double glow) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx / ry, 1);
  Glow(cr, 0, 0, ry * glow, colour, 0.8);
  cairo_restore(cr);
  Ellipse(cr, cx, cy, rx, ry);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, ry);
  AddStop(p, 0, 0xFFFFFF);
  AddStop(p, 0.5, Mix(colour, 0xFFFFFF, 0.6));
  AddStop(p, 1, colour);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// A sphere of plasma with a bright core and a swirl.
void Plasma(cairo_t* cr, double cx, double cy, double r, uint32_t colour, double swirl) {
  Glow(cr, cx, cy, r, colour, 0.9);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.15, cy - r * 0.15, 0, cx, cy, r * 0.6);
  AddStop(p, 0, 0xFFFFFF);
  AddStop(p, 0.4, Mix(colour, 0xFFFFFF, 0.5));
  AddStop(p, 1, colour, 0.0);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r * 0.6, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, std::max(1.0, r * 0.06));
  SetColour(cr, Mix(colour, 0xFFFFFF, 0.7), 0.8);
  for (int i = 0; i < 3; ++i) {
    double a = swirl + i * 2 * M_PI / 3;
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r * 0.45, a, a + 1.3);
    cairo_stroke(cr);
  }
}

void Rocket(cairo_t* cr, double cx, int frame) {
  double flame = frame ? 9 : 6.5;
  cairo_pattern_t* f = cairo_pattern_create_linear(cx, 9, cx, 9 - flame);
  AddStop(f, 0, 0xFFFFFF);
  AddStop(f, 0.4, 0xFFC040);
  AddStop(f, 1, 0xFF4010, 0.0);
  cairo_set_source(cr, f);
  Ellipse(cr, cx, 9 - flame / 2, 3, flame / 2 + 1);
  cairo_fill(cr);
  cairo_pattern_destroy(f);
  for (int s : {-1, 1}) {  // fins
    cairo_move_to(cr, cx + s * 2, 9);
    cairo_line_to(cr, cx + s * 6, 7);
    cairo_line_to(cr, cx + s * 6, 13);
    cairo_line_to(cr, cx + s * 2, 16);
    cairo_close_path(cr);
    FillMetal(cr, 0x7080A0, cx - 6, 7, 12, 9);
    cairo_new_path(cr);
  }
  RoundRect(cr, cx - 2.5, 8, 5, 15, 1.5);
  FillMetal(cr, 0xC8D0E0, cx - 3, 8, 6, 15);
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 2.5, 22);
  cairo_line_to(cr, cx, 28);
  cairo_line_to(cr, cx + 2.5, 22);
  cairo_close_path(cr);
  SetColour(cr, 0xE03030);
  cairo_fill(cr);
}

// A vertical beam of the given width with travelling bright bands.
void Beam(cairo_t* cr, double cx, double width, double top, double bottom, uint32_t colour,
          double phase, double bandLength) {
  cairo_pattern_t* p = cairo_pattern_create_linear(cx - width / 2, 0, cx + width / 2, 0);
  AddStop(p, 0, colour, 0.0);
  AddStop(p, 0.3, colour, 0.9);
  AddStop(p, 0.5, 0xFFFFFF);
  AddStop(p, 0.7, colour, 0.9);
  AddStop(p, 1, colour, 0.0);
  cairo_set_source(cr, p);
  cairo_rectangle(cr, cx - width / 2, top, width, bottom - top);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  for (double y = top - bandLength + std::fmod(phase, 1.0) * bandLength; y < bottom; y += bandLength) {
    cairo_pattern_t* b = cairo_pattern_create_linear(0, y, 0, y + bandLength * 0.5);
    AddStop(b, 0, 0xFFFFFF, 0.0);
    AddStop(b, 0.5, 0xFFFFFF, 0.55);
    AddStop(b, 1, 0xFFFFFF, 0.0);
    cairo_set_source(cr, b);
    cairo_rectangle(cr, cx - width * 0.25, std::max(top, y), width * 0.5,
                    std::min(bottom, y + bandLength * 0.5) - std::max(top, y));
    cairo_fill(cr);
    cairo_pattern_destroy(b);
  }
}

void Star4(cairo_t* cr, double cx, double cy, double r, double angle, uint32_t colour) {
  Glow(cr, cx, cy, r, colour, 0.7);
  cairo_new_path(cr);
  for (int i = 0; i < 8; ++i) {
    double a = angle + i * M_PI / 4;
    double rr = (i % 2 == 0) ? r * 0.95 : r * 0.28;
    cairo_line_to(cr, cx + std::cos(a) * rr, cy + std::sin(a) * rr);
  }
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  AddStop(p, 0, 0xFFFFFF);
  AddStop(p, 0.5, Mix(colour, 0xFFFFFF, 0.4));
  AddStop(p, 1, colour);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void DrawShotFrame(cairo_t* cr, int kind, int frame, double w, double h) {
  const double cx = w / 2, cy = h / 2;
  switch (kind) {
    case 0:  // basic cyan bolt
      Bolt(cr, cx, cy, 3.4, 9.5, 0x30C8FF, frame ? 1.45 : 1.25);
      break;
    case 1:
      Rocket(cr, cx, frame);
      break;
    case 2:  // spiked orange orb
      Star4(cr, cx, cy, 12, M_PI / 4, 0xFF8020);
      Plasma(cr, cx, cy, 8, 0xFF9030, 0);
      break;
    case 3:  // big plasma sphere
      Plasma(cr, cx, cy, 29, 0x5070FF, 0.4);
      break;
    case 4: {  // red ring
      Glow(cr, cx, cy, 12, 0xFF3020, 0.8);
      cairo_set_line_width(cr, 3);
      SetColour(cr, 0xFF8070);
      cairo_arc(cr, cx, cy, 7, 0, 2 * M_PI);
      cairo_stroke(cr);
      Port(cr, cx, cy, 2.5, 0xFF4030);
      break;
    }
    case 5:  // beam
      Beam(cr, cx, 10, 4, h - 4, 0x50A0FF, frame / 4.0, 36);
      Bolt(cr, cx, h - 6, 4, 5, 0xA0D0FF, 1.2);
      break;
    case 6:  // spinning green star
      Star4(cr, cx, cy, 16.5, frame * (M_PI / 2) / 8, 0x40FF70);
      break;
    case 7:  // amber plasma drop
      Plasma(cr, cx, cy, 13, 0xFFB020, 1.0);
      break;
    case 8: {  // heavy slug with a trail
      cairo_pattern_t* t = cairo_pattern_create_linear(0, 2, 0, 30);
      AddStop(t, 0, 0xFFE080, 0.0);
      AddStop(t, 1, 0xFFE080, 0.8);
      cairo_set_source(cr, t);
      cairo_move_to(cr, cx - 2, 2);
      cairo_line_to(cr, cx + 2, 2);
      cairo_line_to(cr, cx + 5, 30);
      cairo_line_to(cr, cx - 5, 30);
      cairo_close_path(cr);
      cairo_fill(cr);
      cairo_pattern_destroy(t);
      Bolt(cr, cx, 32, 5, 10, 0xFFD040, 1.2);
      break;
    }
    case 9: {  // boss spinning disc
      Glow(cr, cx, cy, 16, 0xFFA020, 0.7);
      double a0 = frame * (2 * M_PI / 3) / 8;
      for (int i = 0; i < 3; ++i) {
        double a = a0 + i * 2 * M_PI / 3;
        cairo_new_path(cr);
        cairo_move_to(cr, cx, cy);
        cairo_arc(cr, cx, cy, 13, a, a + 0.9);
        cairo_close_path(cr);
        SetColour(cr, 0xFFD060);
        cairo_fill(cr);
      }
      Port(cr, cx, cy, 4, 0xFFA020);
      break;
    }
    case 10: {  // the boss's long beam
      Glow(cr, cx, 20, 36, 0xFF4020, 0.9);
      Beam(cr, cx, 44 + 6 * std::sin(frame * 2 * M_PI / 5), 10, h - 10, 0xFF3018, frame / 5.0, 60);
      Beam(cr, cx, 16, 10, h - 10, 0xFFB060, frame / 5.0 + 0.5, 42);
      Glow(cr, cx, h - 14, 18, 0xFF6030, 0.9);
      break;
    }
    case 11:  // green plasma
      Plasma(cr, cx, cy, 17, 0x40FF50, 2.0);
      break;
    case 12: {  // shock wave as wide as the carrier
      for (int pass = 0; pass < 2; ++pass) {
        cairo_new_path(cr);
        cairo_set_line_width(cr, pass == 0 ? 22 : 6);
        SetColour(cr, pass == 0 ? 0x2080FF : 0xC0F0FF, pass == 0 ? 0.55 : 1.0);
        cairo_arc(cr, cx, -60, 250, M_PI * 0.2, M_PI * 0.8);
        cairo_stroke(cr);
      }
      cairo_new_path(cr);
      cairo_set_line_width(cr, 4);
      SetColour(cr, 0x60B0FF, 0.8);
      cairo_arc(cr, cx, -60, 226, M_PI * 0.25, M_PI * 0.75);
      cairo_stroke(cr);
      break;
    }
    case 13: {  // violet torpedo
      cairo_pattern_t* t = cairo_pattern_create_linear(0, 0, 0, 50);
      AddStop(t, 0, 0xB060FF, 0.0);
      AddStop(t, 1, 0xB060FF, 0.8);
      cairo_set_source(cr, t);
      cairo_move_to(cr, cx - 4, 0);
      cairo_line_to(cr, cx + 4, 0);
      cairo_line_to(cr, cx + 12, 46);
      cairo_line_to(cr, cx - 12, 46);
      cairo_close_path(cr);
      cairo_fill(cr);
      cairo_pattern_destroy(t);
      Bolt(cr, cx, 50, 12, 17, 0xC080FF, 1.3);
      break;
    }
    default:  // needle
      Bolt(cr, cx, cy, 2.2, 14, 0xD090FF, 1.2);
      break;
  }
}

}  // namespace

Picture DrawShot(int kind) {
  Size frame = kShotSizes[kind];
  int frames = kShotFrames[kind];
  Canvas canvas(frame.w * frames, frame.h);
  ForEachFrame(canvas.cr(), frame.w, frame.h, frames,
               [&](int i) { DrawShotFrame(canvas.cr(), kind, i, frame.w, frame.h); });
  return canvas.Keyed(kMagentaKey, 70);
}

}  // namespace packgen
