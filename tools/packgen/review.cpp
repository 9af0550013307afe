#include "review.h"

#include <cairo.h>

#include <tuple>

#include "contact_sheet.h"
#include "layout.h"
#include "paint.h"

namespace packgen {

namespace {

constexpr int A = 0, B = 60;  // record offsets of the two tables

// Copies a source rectangle onto the screen at (x, y), skipping `key` unless opaque.
void Blit(Picture& dst, const Picture& src, int x, int y, bool keyed, uint32_t key = kMagentaKey,
          int sx = 0, int sy = 0, int sw = -1, int sh = -1) {
  if (sw < 0) sw = src.width;
  if (sh < 0) sh = src.height;
  for (int r = 0; r < sh; ++r) {
    for (int c = 0; c < sw; ++c) {
      int dx = x + c, dy = y + r;
      if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height) continue;
      uint32_t p = src.At(sx + c, sy + r);
      if (keyed && p == key) continue;
      dst.At(dx, dy) = p;
    }
  }
}

void Frame(Picture& dst, const Picture& strip, int frameW, int frame, int x, int y) {
  Blit(dst, strip, x, y, true, kMagentaKey, frame * frameW, 0, frameW, strip.height);
}

// Text over a finished screen, in the interface greens (an approximation of the game's).
void Label(Picture& screen, const std::vector<std::tuple<int, int, double, uint32_t, std::string>>& texts) {
  cairo_surface_t* s = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(screen.pixels.data()), CAIRO_FORMAT_RGB24, screen.width,
      screen.height, screen.width * 4);
  cairo_t* cr = cairo_create(s);
  for (const auto& [x, y, size, colour, text] : texts) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    SetColour(cr, colour);
    cairo_move_to(cr, x, y + size * 0.8);
    cairo_show_text(cr, text.c_str());
  }
  cairo_destroy(cr);
  cairo_surface_destroy(s);
}

Picture MenuPage(const std::vector<Picture>& pack) {
  Picture screen(800, 600, 0);
  Blit(screen, pack[B + 0], 0, 0, false);
  Blit(screen, pack[B + 29], 0, 0, true);
  Blit(screen, pack[B + 31], 461, 327, true);
  Blit(screen, pack[B + 2], 470, 376, true);  // "Options" highlighted
  return screen;
}

Picture OptionsPage(const std::vector<Picture>& pack) {
  Picture screen(800, 600, 0);
  Blit(screen, pack[B + 0], 0, 0, false);
  Blit(screen, pack[B + 29], 0, 0, true);
  Blit(screen, pack[B + 30], 388, 0, true);
  Blit(screen, pack[B + 17], 300, 230, true);
  Blit(screen, pack[B + 18], 327, 292, true);
  Blit(screen, pack[B + 18], 327, 352, true);
  Blit(screen, pack[B + 9], 309, 477, true);
  Blit(screen, pack[B + 34], 621, 540, true);
  Blit(screen, pack[B + 35], 322, 287, true);  // Music row highlighted
  Blit(screen, pack[B + 8], 309, 413, false);  // country box, normal
  Label(screen, {{420, 25, 28, 0x00FF00, "Options"},
                 {120, 238, 18, 0x00FF00, "Display"}, {120, 299, 18, 0x00FF00, "Music"},
                 {120, 359, 18, 0x00FF00, "Sound"}, {120, 425, 18, 0x00FF00, "Your country"},
                 {120, 485, 18, 0x00FF00, "Boss key"}, {320, 234, 18, 0x00FF00, "Window"},
                 {344, 294, 18, 0x00FF00, "On"}, {344, 354, 18, 0x00FF00, "Off"},
                 {321, 419, 24, 0x00FF00, "Finland"}, {364, 484, 18, 0x00FF00, "F12"}});
  return screen;
}

Picture HelpPage(const std::vector<Picture>& pack) {
  Picture screen(800, 600, 0);
  Blit(screen, pack[B + 0], 0, 0, false);
  Blit(screen, pack[B + 29], 0, 0, true);
  Blit(screen, pack[B + 30], 388, 0, true);
  Blit(screen, pack[B + 24], 440, 530, true);
  Blit(screen, pack[B + 23], 550, 530, true);
  Blit(screen, pack[B + 34], 660, 530, true);
  Blit(screen, pack[B + 16], 544, 523, true);  // "Next" highlighted
  static constexpr int kColumnX[3] = {40, 280, 520};
  static const char* const kNames[9] = {"Armor", "Live", "Energy", "Ionic gun", "Laser gun",
                                        "Plasma gun", "Missiles", "Mega-skull", "mega-bomb"};
  std::vector<std::tuple<int, int, double, uint32_t, std::string>> texts = {
      {475, 25, 28, 0x00FF00, "HELP"}, {40, 140, 28, 0x00FF00, "BONUSES"}};
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < 3; ++i) {
      int k = 3 * c + i;
      Frame(screen, pack[A + 45 + k], kBonusSizes[k].w, 2, kColumnX[c], 180 + 120 * i);
      texts.push_back({kColumnX[c] + 80 - (c == 0 ? 0 : 10), 200 + 120 * i, 24, 0x228822, kNames[k]});
    }
  }
  Label(screen, texts);
  return screen;
}

Picture GamePage(const std::vector<Picture>& pack) {
  Picture screen(800, 600, 0);
  // Far layer: 3 x 3 tiles from (-1, -1), scrolled; near layer: 4 x 5 tiles, keyed black.
  for (int r = -1; r <= 1; ++r)
    for (int c = -1; c <= 1; ++c) Blit(screen, pack[A + 2], c * 512 + 90, r * 486 + 200, true);
  for (int r = -1; r <= 3; ++r)
    for (int c = -1; c <= 2; ++c) Blit(screen, pack[A + 4], c * 300 + 40, r * 200 + 70, true, kBlackKey);
  Blit(screen, pack[A + 20], 280, 40, true);                      // boss 1
  Blit(screen, pack[A + 22 + 11], 280 + 117 - 17, 270, true);     // its plasma
  Frame(screen, pack[A + 22 + 10], 75, 2, 60, 150);               // boss 0's beam, for scale
  Blit(screen, pack[A + 10], 560, 120, true);
  Blit(screen, pack[A + 14], 620, 210, true);
  Blit(screen, pack[A + 15], 180, 330, true);
  Blit(screen, pack[A + 12], 500, 300, true);
  Frame(screen, pack[A + 37], 36, 3, 420, 430);
  Frame(screen, pack[A + 38], 74, 5, 120, 470);
  Frame(screen, pack[A + 42], 64, 6, 470, 250);                   // explosion
  Frame(screen, pack[A + 39], 16, 4, 610, 190);
  Frame(screen, pack[A + 48], 62, 1, 260, 420);                   // bonus
  Frame(screen, pack[A + 22], 26, 0, 372, 400);                   // player bolts
  Frame(screen, pack[A + 22], 26, 1, 372, 340);
  Frame(screen, pack[A + 8], 65, 6, 360, 460);                    // ship, banking right
  // Heads-up display in its drawing order.
  Blit(screen, pack[B + 21], 0, 0, true);
  Blit(screen, pack[B + 22], 652, 37, true);
  Blit(screen, pack[B + 20], 80, 4, true);
  Blit(screen, pack[B + 7], 760, 180, true);
  Blit(screen, pack[A + 1], 780, 454 - 100, true, kMagentaKey, 0, 124 - 100, 10, 100);
  Blit(screen, pack[A + 0], 747, 454 - 40, true, kMagentaKey, 0, 124 - 40, 10, 40);
  Blit(screen, pack[B + 40], 670, 545, false);
  Blit(screen, pack[A + 57], 663, 518, true);
  Label(screen, {{315, 5, 18, 0x00FF00, "Level 1-3"}, {140, 5, 18, 0x00FF00, "3"},
                 {533, 5, 18, 0x00FF00, "Score"}, {650, 5, 18, 0x00FF00, "12340"},
                 {721, 521, 18, 0x00FF00, "X 27"}});
  return screen;
}

Picture ScoresPage(const std::vector<Picture>& pack) {
  Picture screen(800, 600, 0);
  Blit(screen, pack[B + 0], 0, 0, false);
  for (int i = 0; i <= 10; ++i) Blit(screen, pack[B + 10], 250, 120 + 36 * i, false);
  Blit(screen, pack[B + 29], 0, 0, true);
  Blit(screen, pack[B + 30], 388, 0, true);
  Blit(screen, pack[B + 32], 50, 140, true);
  Blit(screen, pack[B + 33], 50, 210, true);
  Blit(screen, pack[B + 34], 121, 460, false);
  Blit(screen, pack[B + 12], 44, 203, true);  // "World table" highlighted
  std::vector<std::tuple<int, int, double, uint32_t, std::string>> texts = {
      {420, 25, 28, 0x00FF00, "High Score"}, {270, 124, 20, 0x00FF00, "Place"},
      {450, 124, 20, 0x00FF00, "Name"}, {640, 124, 20, 0x00FF00, "Score"}};
  for (int i = 0; i < 10; ++i) {
    uint32_t c = i == 0 ? 0x00FF00 : 0x228822;
    texts.push_back({310, 160 + 36 * i, 20, c, std::to_string(i + 1)});
    texts.push_back({410, 160 + 36 * i, 20, c, "Anonymous"});
    texts.push_back({640, 160 + 36 * i, 20, c, std::to_string(1000 - 100 * i)});
  }
  Label(screen, texts);
  return screen;
}

// The name entry over the last game frame: dialog panel, focused text box, captions.
Picture NameEntryPage(const std::vector<Picture>& pack, const Picture& game) {
  Picture screen = game;
  Blit(screen, pack[B + 19], 215, 200, false);
  Blit(screen, pack[B + 37], 236, 280, true);
  Label(screen, {{290, 232, 22, 0x228822, "Your score is 12340"},
                 {250, 254, 22, 0x228822, "Please enter your name"},
                 {248, 283, 26, 0x00FF00, "Mary"},
                 {280, 340, 34, 0x00FF00, "Ok"}, {420, 340, 34, 0x228822, "Cancel"}});
  return screen;
}

}  // namespace

void WriteReviews(const std::vector<Picture>& pack, const std::string& assetDir) {
  WritePng(MenuPage(pack), assetDir + "/review-menu.png");
  WritePng(OptionsPage(pack), assetDir + "/review-options.png");
  WritePng(HelpPage(pack), assetDir + "/review-help.png");
  WritePng(ScoresPage(pack), assetDir + "/review-scores.png");
  Picture game = GamePage(pack);
  WritePng(game, assetDir + "/review-game.png");
  WritePng(NameEntryPage(pack, game), assetDir + "/review-dialog.png");
}

}  // namespace packgen
