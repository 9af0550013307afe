// The player's ship, the nine enemy fighters and the three command ships. Enemies and bosses
// fly down the screen, so their noses point down and their engines glow at the top.
#include <algorithm>
#include <cmath>

#include "canvas.h"
#include "hull.h"
#include "layout.h"
#include "paint.h"
#include "sprites.h"

namespace packgen {

namespace {

// Exhaust flame pointing down from (x, y).
void Flame(cairo_t* cr, double x, double y, double width, double length, uint32_t colour) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x, y + length);
  AddStop(p, 0, 0xFFFFFF);
  AddStop(p, 0.25, Mix(colour, 0xFFFFFF, 0.5));
  AddStop(p, 0.7, colour, 0.8);
  AddStop(p, 1, colour, 0.0);
  cairo_set_source(cr, p);
  cairo_move_to(cr, x - width / 2, y);
  cairo_curve_to(cr, x - width / 2, y + length * 0.4, x - width * 0.15, y + length * 0.8, x,
                 y + length);
  cairo_curve_to(cr, x + width * 0.15, y + length * 0.8, x + width / 2, y + length * 0.4,
                 x + width / 2, y);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// Exhaust glow pointing up from (x, y), for ships flying down.
void FlameUp(cairo_t* cr, double x, double y, double width, double length, uint32_t colour) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, 1, -1);
  Flame(cr, 0, 0, width, length, colour);
  cairo_restore(cr);
}

// One frame of the player ship; t is the tilt from -1 (hard left) to 1 (hard right). Banking
// foreshortens the wing that dips away and darkens it, while the rising wing catches the light.
void PlayerFrame(cairo_t* cr, double t, int flame) {
  const double cx = 32.5 + t * 2.0;
  const double sF = 1 - 0.12 * std::fabs(t);
  const double flameLen = flame ? 15 : 10;
  auto wingScale = [t](int side) { return 1 - 0.5 * std::max(0.0, side * t) - 0.06 * std::max(0.0, -side * t); };
  // Exhaust first, behind the hull.
  for (int side : {-1, 1}) {
    double ex = cx + side * 5.2 * sF;
    Flame(cr, ex, 84, 7, flameLen + 3, 0x3A90FF);
    Flame(cr, ex, 84, 3.6, flameLen, 0xFFFFFF);
  }
  for (int side : {-1, 1}) {
    const double s = wingScale(side), dip = side * t;  // dip > 0: this wing drops away
    auto X = [&](double dx) { return cx + side * dx * s; };
    const double tipDrop = 2.5 * dip;
    auto wing = [&] {
      PolyPath(cr, {{X(6), 34}, {X(16), 48}, {X(29), 66 + tipDrop}, {X(31), 78 + tipDrop},
                    {X(22), 79 + tipDrop * 0.6}, {X(15), 74}, {X(7), 80}});
    };
    wing();
    Rng panels(40 + side);
    Hull(cr, pal::kHull, cx - 31, 34, 62, 46, &panels, 4);
    // Blue chevron and a thin warm stripe on the wing.
    SetColour(cr, 0x2E5CC8, 0.95);
    PolyPath(cr, {{X(9), 44}, {X(24), 62 + tipDrop * 0.7}, {X(24), 67 + tipDrop * 0.7}, {X(9), 50}});
    cairo_fill(cr);
    SetColour(cr, 0xFF9A30, 0.85);
    PolyPath(cr, {{X(12), 56}, {X(22), 70 + tipDrop * 0.6}, {X(22), 71.5 + tipDrop * 0.6}, {X(12), 58}});
    cairo_fill(cr);
    // Wingtip gun pod with a running light.
    double gx0 = std::min(X(27.5), X(31.5)), gw = std::fabs(X(31.5) - X(27.5));
    RoundRect(cr, gx0, 54 + tipDrop, gw, 27, 1.5);
    Hull(cr, 0xA8B4D0, gx0, 54 + tipDrop, gw, 27, nullptr);
    Port(cr, X(29.5), 80 + tipDrop, 1.0, side < 0 ? 0xFF4040 : 0x40FF60);
    // Light: the dipping wing turns away from the top-left light, the rising one towards it.
    if (dip > 0) {
      SetColour(cr, 0x000010, 0.35 * dip);
      wing();
      cairo_fill(cr);
    } else if (dip < 0) {
      SetColour(cr, 0xFFFFFF, 0.12 * -dip);
      wing();
      cairo_fill(cr);
    }
  }
  // Canards beside the cockpit.
  for (int side : {-1, 1}) {
    double s = wingScale(side);
    PolyPath(cr, {{cx + side * 5 * s, 30}, {cx + side * 13 * s, 40}, {cx + side * 13 * s, 43},
                  {cx + side * 5 * s, 41}});
    Hull(cr, 0x8A98BC, cx - 13, 30, 26, 13, nullptr);
  }
  // Fuselage with twin engine housings at the rear.
  SymPath(cr, cx, {{0, 2}, {2.5, 9}, {5, 20}, {7, 36}, {8.5, 56}, {9, 74}, {8.5, 84}, {3, 86}}, sF);
  Rng panels(7);
  Hull(cr, 0xA4B0CC, cx - 9, 2, 18, 84, &panels, 5);
  for (int side : {-1, 1}) {
    double ex = cx + side * 5.2 * sF;
    RoundRect(cr, ex - 3, 70, 6, 16, 2);
    Hull(cr, 0x7888A8, ex - 3, 70, 6, 16, nullptr);
    SetColour(cr, 0x0A1020);
    cairo_rectangle(cr, ex - 2.2, 84, 4.4, 2);
    cairo_fill(cr);
  }
  SetColour(cr, 0x2E5CC8);
  cairo_rectangle(cr, cx - 1.2 * sF, 46, 2.4 * sF, 22);
  cairo_fill(cr);
  Canopy(cr, cx - t * 0.8, 28, 3.6 * sF, 8.5, pal::kCockpit);
  Port(cr, cx, 7, 1.0, 0x80E0FF);
}

// Enemy fighters: each kind its own silhouette, all in the enemy's violet and rust steels
// with red-orange glows.
void Enemy0(cairo_t* cr) {  // bat-wing interceptor
  const double cx = 29.5;
  for (int s : {-1, 1}) FlameUp(cr, cx + s * 8, 5, 5, 5, 0xFF7030);
  SymPath(cr, cx, {{3, 1}, {14, 3}, {27, 8}, {29, 16}, {23, 13}, {13, 16}, {6, 24}, {0, 27}});
  Rng p(100);
  Hull(cr, 0x7A5C8E, 0, 1, 59, 26, &p, 3);
  Canopy(cr, cx, 13, 4, 6, 0xFF4040);
  for (int s : {-1, 1}) Port(cr, cx + s * 24, 12, 1.2, 0xFF9040);
}

void Enemy1(cairo_t* cr) {  // twin-pod fighter
  const double cx = 29.5;
  cairo_rectangle(cr, cx - 20, 12, 40, 5);
  Hull(cr, 0x6A4A50, cx - 20, 12, 40, 5, nullptr);
  for (int s : {-1, 1}) {
    FlameUp(cr, cx + s * 20, 3, 5, 4, 0xFF6030);
    RoundRect(cr, cx + s * 20 - 5.5, 2, 11, 25, 5);
    Rng p(110 + s);
    Hull(cr, 0x9A5A56, cx + s * 20 - 6, 2, 12, 25, &p, 2);
    Port(cr, cx + s * 20, 22, 1.4, 0xFFB040);
  }
  cairo_arc(cr, cx, 14, 8.5, 0, 2 * M_PI);
  Hull(cr, 0x8E6A70, cx - 9, 5, 18, 18, nullptr);
  Canopy(cr, cx, 15, 4.5, 4.5, 0xFF3030);
}

void Enemy2(cairo_t* cr) {  // heavy bomber with forward-swept wings
  const double cx = 37.5;
  for (int s : {-1, 1}) FlameUp(cr, cx + s * 7, 6, 6, 7, 0xFF6030);
  SymPath(cr, cx, {{4, 20}, {22, 34}, {36, 70}, {35, 78}, {28, 76}, {12, 58}, {10, 72}});
  Rng w(120);
  Hull(cr, 0x5C5A8E, 0, 20, 75, 58, &w, 6);
  SymPath(cr, cx, {{5, 3}, {10, 8}, {12, 30}, {12, 70}, {9, 88}, {4, 98}, {0, 101}});
  Rng b(121);
  Hull(cr, 0x7C6E9E, cx - 12, 3, 24, 98, &b, 5);
  Canopy(cr, cx, 80, 4, 9, 0xFF4A30);
  for (int s : {-1, 1}) {
    Turret(cr, cx + s * 26, 66, 4, 0x8A7AA0);
    Port(cr, cx + s * 7, 8, 2.2, 0xFF8040);
  }
  SetColour(cr, 0xC03048);
  cairo_rectangle(cr, cx - 1.5, 35, 3, 30);
  cairo_fill(cr);
}

void Enemy3(cairo_t* cr) {  // needle cruiser
  const double cx = 28.5;
  FlameUp(cr, cx, 6, 8, 7, 0xFF6030);
  SymPath(cr, cx, {{3, 18}, {27, 42}, {27, 58}, {8, 56}});
  Rng f(130);
  Hull(cr, 0x6E7690, 0, 18, 57, 40, &f, 3);
  SymPath(cr, cx, {{3, 92}, {18, 112}, {18, 124}, {8, 120}});
  Hull(cr, 0x6E7690, 10, 92, 37, 32, nullptr);
  SymPath(cr, cx, {{6, 4}, {9, 12}, {9, 130}, {6, 148}, {0, 159}});
  Rng b(131);
  Hull(cr, 0x8C94AE, cx - 9, 4, 18, 155, &b, 8);
  Windows(cr, b, cx - 5, 30, 10, 90, 14, 0xFFB060);
  Canopy(cr, cx, 136, 3.5, 8, 0xFF4030);
  Port(cr, cx, 7, 2.5, 0xFF8040);
  for (int s : {-1, 1}) Port(cr, cx + s * 24, 54, 1.5, 0xFF5040);
}

void Enemy4(cairo_t* cr) {  // saucer
  const double cx = 37.5, cy = 37.5;
  cairo_arc(cr, cx, cy, 36, 0, 2 * M_PI);
  Rng r(140);
  Hull(cr, 0x8A7A50, 1, 1, 73, 73, &r, 0);
  cairo_set_line_width(cr, 2);
  SetColour(cr, 0x3A3020);
  cairo_arc(cr, cx, cy, 27, 0, 2 * M_PI);
  cairo_stroke(cr);
  for (int i = 0; i < 8; ++i) {
    double a = i * M_PI / 4 + M_PI / 8;
    Port(cr, cx + std::cos(a) * 31.5, cy + std::sin(a) * 31.5, 1.8, 0xFF7030);
  }
  cairo_arc(cr, cx, cy, 20, 0, 2 * M_PI);
  Hull(cr, 0xA8966A, cx - 20, cy - 20, 40, 40, nullptr);
  Canopy(cr, cx, cy, 11, 11, 0xFF3A30);
}

void Enemy5(cairo_t* cr) {  // delta arrowhead
  const double cx = 40;
  for (int s : {-1, 1}) FlameUp(cr, cx + s * 22, 5, 7, 5, 0xFF6030);
  SymPath(cr, cx, {{4, 2}, {39, 3}, {38, 12}, {22, 24}, {10, 52}, {3, 66}, {0, 69}});
  Rng r(150);
  Hull(cr, 0x6A4E9A, 0, 2, 80, 67, &r, 6);
  SetColour(cr, 0xC03048, 0.9);
  for (int s : {-1, 1}) {
    PolyPath(cr, {{cx + s * 6, 10}, {cx + s * 30, 9}, {cx + s * 20, 16}, {cx + s * 6, 18}});
    cairo_fill(cr);
  }
  Canopy(cr, cx, 40, 5, 10, 0xFF4030);
  for (int s : {-1, 1}) Port(cr, cx + s * 22, 6, 2.2, 0xFF9040);
}

void Enemy6(cairo_t* cr) {  // insectoid raider with claws
  const double cx = 42.5;
  for (int s : {-1, 1}) {  // membrane wings
    Ellipse(cr, cx + s * 26, 32, 16, 26);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx + s * 22, 24, 2, cx + s * 26, 32, 26);
    AddStop(p, 0, 0x8AD8C0);
    AddStop(p, 0.6, 0x2E7A68);
    AddStop(p, 1, 0x143A34);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 0.8);
    SetColour(cr, 0x0E2A24, 0.8);
    for (int v = 0; v < 4; ++v) {
      cairo_move_to(cr, cx + s * 12, 30);
      cairo_line_to(cr, cx + s * (18 + v * 6), 10 + v * 14);
    }
    cairo_stroke(cr);
  }
  cairo_set_line_width(cr, 1.2);
  SetColour(cr, 0x2A4A40);
  for (int s : {-1, 1}) {
    Ellipse(cr, cx + s * 26, 32, 16, 26);
    cairo_stroke(cr);
  }
  for (int s : {-1, 1}) {  // claws
    cairo_new_path(cr);
    cairo_move_to(cr, cx + s * 8, 78);
    cairo_curve_to(cr, cx + s * 30, 84, cx + s * 26, 104, cx + s * 6, 109);
    cairo_curve_to(cr, cx + s * 18, 100, cx + s * 18, 90, cx + s * 6, 86);
    cairo_close_path(cr);
    Hull(cr, 0x4E8A6A, cx - 30, 78, 60, 32, nullptr);
  }
  Ellipse(cr, cx, 22, 11, 19);
  Rng r(160);
  Hull(cr, 0x3E7A5A, cx - 11, 3, 22, 38, &r, 3);
  Ellipse(cr, cx, 52, 14, 16);
  Hull(cr, 0x4E8A6A, cx - 14, 36, 28, 32, nullptr);
  Ellipse(cr, cx, 78, 10, 11);
  Hull(cr, 0x5E9A7A, cx - 10, 67, 20, 22, nullptr);
  for (int s : {-1, 1}) Port(cr, cx + s * 5, 82, 2.2, 0xFF4020);
  Port(cr, cx, 8, 2, 0xFFA040);
}

void Enemy7(cairo_t* cr) {  // X-frame drone
  const double cx = 40, cy = 37.5;
  for (int i = 0; i < 4; ++i) {
    double a = M_PI / 4 + i * M_PI / 2;
    double ex = cx + std::cos(a) * 30, ey = cy + std::sin(a) * 28;
    cairo_save(cr);
    cairo_set_line_width(cr, 7);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColour(cr, 0x2A2A36);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, ex, ey);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 4.5);
    SetColour(cr, 0x8A8A9A);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, ex, ey);
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_arc(cr, ex, ey, 7.5, 0, 2 * M_PI);
    Hull(cr, 0x9A9AAE, ex - 8, ey - 8, 16, 16, nullptr);
    Port(cr, ex, ey, 2.4, i < 2 ? 0xFF6030 : 0xFFA040);
  }
  cairo_new_path(cr);
  for (int i = 0; i < 6; ++i) {
    double a = i * M_PI / 3;
    cairo_line_to(cr, cx + std::cos(a) * 17, cy + std::sin(a) * 17);
  }
  cairo_close_path(cr);
  Rng r(170);
  Hull(cr, 0xA0A0B4, cx - 17, cy - 17, 34, 34, &r, 2);
  Canopy(cr, cx, cy + 2, 7, 7, 0xFF3A30);
}

void Enemy8(cairo_t* cr) {  // manta
  const double cx = 30;
  SetColour(cr, 0x2A4060);
  cairo_set_line_width(cr, 2);
  cairo_move_to(cr, cx, 30);
  cairo_curve_to(cr, cx + 3, 18, cx - 3, 8, cx, 1);
  cairo_stroke(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, cx, 14);
  cairo_curve_to(cr, cx + 20, 12, cx + 30, 26, cx + 29, 44);
  cairo_curve_to(cr, cx + 20, 42, cx + 12, 52, cx + 6, 66);
  cairo_line_to(cr, cx, 74);
  cairo_line_to(cr, cx - 6, 66);
  cairo_curve_to(cr, cx - 12, 52, cx - 20, 42, cx - 29, 44);
  cairo_curve_to(cr, cx - 30, 26, cx - 20, 12, cx, 14);
  cairo_close_path(cr);
  Rng r(180);
  Hull(cr, 0x3E6E9E, 1, 12, 58, 62, &r, 4);
  for (int s : {-1, 1}) {
    SetColour(cr, 0xC03048, 0.85);
    PolyPath(cr, {{cx + s * 8, 30}, {cx + s * 24, 36}, {cx + s * 22, 40}, {cx + s * 8, 36}});
    cairo_fill(cr);
  }
  Canopy(cr, cx, 52, 4.5, 8, 0xFF5030);
  Port(cr, cx, 18, 2.4, 0xFF8040);
}

// Command ships: huge, layered hulls with turrets, windows and engine banks.
void Boss0(cairo_t* cr) {  // hammerhead frigate, 150 x 180, beam emitter in the middle
  const double cx = 75;
  for (int s : {-1, 1}) {
    FlameUp(cr, cx + s * 18, 14, 10, 13, 0xFF7030);
    FlameUp(cr, cx + s * 52, 30, 8, 10, 0xFF7030);
  }
  SymPath(cr, cx, {{24, 28}, {74, 44}, {74, 92}, {60, 104}, {40, 100}, {30, 120}});
  Rng w(190);
  Hull(cr, 0x6A5A86, 0, 28, 150, 92, &w, 14);
  for (int s : {-1, 1}) {  // side pods
    RoundRect(cr, cx + s * 58 - 12, 26, 24, 86, 8);
    Rng p(191 + s);
    Hull(cr, 0x7C6C9C, cx + s * 58 - 12, 26, 24, 86, &p, 5);
    Port(cr, cx + s * 58, 104, 3, 0xFF5030);
    Windows(cr, p, cx + s * 58 - 6, 40, 12, 50, 8, 0xFFC070);
  }
  SymPath(cr, cx, {{12, 6}, {26, 16}, {30, 60}, {28, 130}, {20, 160}, {10, 176}, {0, 179}});
  Rng b(193);
  Hull(cr, 0x8A7CA8, cx - 30, 6, 60, 173, &b, 16);
  Windows(cr, b, cx - 20, 30, 40, 80, 22, 0xFFC070);
  for (int s : {-1, 1}) {
    Turret(cr, cx + s * 40, 70, 6, 0x9A8AB8);
    Port(cr, cx + s * 18, 16, 4, 0xFF8040);
  }
  RoundRect(cr, cx - 9, 132, 18, 34, 5);  // beam emitter
  Hull(cr, 0x5A4A70, cx - 9, 132, 18, 34, nullptr);
  Port(cr, cx, 160, 6, 0xFF4020);
  Canopy(cr, cx, 110, 8, 12, 0xFF4A30);
}

void Boss1(cairo_t* cr) {  // crescent carrier, 235 x 225
  const double cx = 117.5;
  for (int i = -2; i <= 2; ++i) FlameUp(cr, cx + i * 30, 20 + std::abs(i) * 6, 10, 16, 0xFF7030);
  // Wide crescent wings sweeping down to claws.
  cairo_new_path(cr);
  cairo_move_to(cr, cx, 16);
  cairo_curve_to(cr, cx + 70, 12, cx + 116, 50, cx + 116, 150);
  cairo_line_to(cr, cx + 100, 196);
  cairo_curve_to(cr, cx + 96, 140, cx + 70, 110, cx + 36, 120);
  cairo_line_to(cr, cx - 36, 120);
  cairo_curve_to(cr, cx - 70, 110, cx - 96, 140, cx - 100, 196);
  cairo_line_to(cr, cx - 116, 150);
  cairo_curve_to(cr, cx - 116, 50, cx - 70, 12, cx, 16);
  cairo_close_path(cr);
  Rng w(200);
  Hull(cr, 0x6A3A4E, 1, 12, 233, 184, &w, 26);
  cairo_set_line_width(cr, 3);
  SetColour(cr, 0xC03048, 0.8);  // hangar lights along the wings
  for (int s : {-1, 1}) {
    cairo_move_to(cr, cx + s * 20, 40);
    cairo_curve_to(cr, cx + s * 70, 40, cx + s * 100, 80, cx + s * 104, 150);
    cairo_stroke(cr);
  }
  Windows(cr, w, cx - 100, 50, 200, 60, 60, 0xFFC070);
  SymPath(cr, cx, {{20, 8}, {40, 30}, {44, 150}, {34, 200}, {18, 220}, {0, 224}});
  Rng b(201);
  Hull(cr, 0x8A5A6C, cx - 44, 8, 88, 216, &b, 18);
  Windows(cr, b, cx - 30, 40, 60, 120, 30, 0xFFC070);
  for (int s : {-1, 1}) {
    Turret(cr, cx + s * 70, 86, 8, 0xA88A98);
    Turret(cr, cx + s * 96, 130, 6, 0xA88A98);
    Turret(cr, cx + s * 24, 150, 6, 0xA88A98);
  }
  Canopy(cr, cx, 120, 12, 18, 0xFF4A30);
  Port(cr, cx, 212, 7, 0x60FF60);  // emitter of its green plasma
}

void Boss2(cairo_t* cr) {  // tiered dreadnought, 225 x 280
  const double cx = 112.5;
  for (int i = 0; i < 4; ++i) {
    double x = cx + (i - 1.5) * 44;
    FlameUp(cr, x, 24, 12, 20, 0xFF7030);
  }
  for (int i = 0; i < 4; ++i) {  // engine pods
    double x = cx + (i - 1.5) * 44;
    RoundRect(cr, x - 12, 14, 24, 56, 6);
    Rng p(210 + i);
    Hull(cr, 0x5A6A80, x - 12, 14, 24, 56, &p, 3);
    Port(cr, x, 22, 4, 0xFF8040);
  }
  SymPath(cr, cx, {{60, 50}, {112, 80}, {112, 150}, {84, 170}, {96, 210}, {60, 214}});
  Rng w(220);
  Hull(cr, 0x3E4C6A, 0, 50, 225, 164, &w, 26);
  Windows(cr, w, cx - 100, 90, 200, 60, 50, 0xFFC070);
  SymPath(cr, cx, {{30, 40}, {46, 70}, {50, 200}, {40, 240}, {16, 262}, {8, 279}});
  Rng b(221);
  Hull(cr, 0x5A6C8E, cx - 50, 40, 100, 239, &b, 22);
  Windows(cr, b, cx - 36, 80, 72, 140, 40, 0xFFC070);
  SymPath(cr, cx, {{14, 120}, {22, 150}, {22, 210}, {10, 240}});
  Hull(cr, 0x7C8EB0, cx - 22, 120, 44, 120, nullptr);
  for (int s : {-1, 1}) {
    Turret(cr, cx + s * 90, 120, 8, 0x8A9AB8);
    Turret(cr, cx + s * 64, 180, 8, 0x8A9AB8);
    Turret(cr, cx + s * 34, 230, 6, 0x8A9AB8);
    SetColour(cr, 0xC03048, 0.9);
    cairo_rectangle(cr, cx + s * 70 - 2, 92, 4, 50);
    cairo_fill(cr);
  }
  Canopy(cr, cx, 150, 10, 20, 0xFF4A30);
  Port(cr, cx, 262, 7, 0xC080FF);
}

}  // namespace

void DrawPlayerShipFrame(cairo_t* cr, double tilt, int flame) { PlayerFrame(cr, tilt, flame); }

Picture DrawPlayerShip() {
  Canvas canvas(kShipFrame.w * kShipFrames, kShipFrame.h);
  ForEachFrame(canvas.cr(), kShipFrame.w, kShipFrame.h, kShipFrames, [&](int i) {
    PlayerFrame(canvas.cr(), (i / 2 - 2) / 2.0, i % 2);
  });
  return canvas.Keyed(kMagentaKey);
}

Picture DrawEnemy(int kind) {
  Size size = kEnemySizes[kind];
  Canvas canvas(size.w, size.h);
  static void (*const kDraw[9])(cairo_t*) = {Enemy0, Enemy1, Enemy2, Enemy3, Enemy4,
                                             Enemy5, Enemy6, Enemy7, Enemy8};
  kDraw[kind](canvas.cr());
  return canvas.Keyed(kMagentaKey);
}

Picture DrawBoss(int kind) {
  Size size = kBossSizes[kind];
  Canvas canvas(size.w, size.h);
  static void (*const kDraw[3])(cairo_t*) = {Boss0, Boss1, Boss2};
  kDraw[kind](canvas.cr());
  return canvas.Keyed(kMagentaKey);
}

}  // namespace packgen
