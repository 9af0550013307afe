#include "shell/help_pages.h"

#include <array>

#include "game/kind_tables.h"
#include "graphics/draw.h"
#include "graphics/images.h"
#include "graphics/widgets.h"
#include "shell/screen_state.h"
#include "shell/screens.h"

namespace {

struct Line {
  int32_t x, y;
  const char* text;
};

constexpr std::array<Line, 14> kOverview{{
    {40, 180, "Your Galaxy is attacked by alien invaders. Your warship was"},
    {20, 200, "entrusted with an important mission.Infiltrate into the enemy"},
    {20, 220, "space forces and destroy all command ships that control the"},
    {20, 240, "military operations. A lot of enemy space fighters and battle"},
    {20, 260, "planes will stand in your way trying to prevent your"},
    {20, 280, "\"state-of-the-art ship from infiltrating into enemy\" s rear and"},
    {20, 300, "accomplishing your mission."},
    {40, 320, "Fly over a certain battle area at each level. Meet different"},
    {20, 340, "enemy ships that attack you on your way to the target."},
    {20, 360, "Destroy as many enemies as you can and stay alive."},
    {40, 380, "Sometimes you come across big command ships that are the primary"},
    {20, 400, "aim of your battle mission. Get the chance to equip your ship with"},
    {20, 420, "new weapon, armor and energy by destroying the enemy ships."},
    {40, 440, "Good luck in your battle mission! Defend your Galaxy!"},
}};

struct ControlLine {
  int32_t y;
  bool heading;
  const char* text;
};

constexpr std::array<ControlLine, 12> kControls{{
    {180, true, "MENU NAVIGATIONS"},
    {210, false, "Use the cursor keys or mouse to move the menu cursor up and down"},
    {230, false, "Press the \"Enter\" key or any mouse button to enter menu options"},
    {250, false, "Press the \"Left Arrow\", \"Right Arrow\", \"Enter\" keys or any mouse"},
    {270, false, "button to change a menu option."},
    {290, false, "Press \"Esc\" to back from the submenu to Main Menu"},
    {320, true, "GAME NAVIGATIONS"},
    {350, false, "Use the arrow keys or mouse to move the spaceship"},
    {370, false, "Press \"Ctrl\" key or left mouse button to fire."},
    {390, false, "Use \"P\" to pause or resume the game."},
    {410, false, "Use \"Escape\" key to quit the game to Main Menu."},
    {430, false, "Use \"Alt\"+\"Enter\" keys to change window/full screen modes."},
}};

constexpr std::array<const char*, 9> kBonusNames{
    "Armor", "Live", "Energy", "Ionic gun", "Laser gun", "Plasma gun", "Missiles", "Mega-skull",
    "mega-bomb"};
constexpr std::array<int32_t, 3> kBonusColumnX{40, 280, 520};
constexpr std::array<int32_t, 3> kBonusNameX{120, 350, 590};
// Each of the eight animation frames stays for this many screen frames.
constexpr uint32_t kFramesPerPicture = 10;

void DrawHelpFrame(gfx::TSurface* back, const char* title) {
  DrawMenuHeader(back);
  CopyScreenImage(back, 24, 440, 530, true);
  CopyScreenImage(back, 23, 550, 530, true);
  CopyScreenImage(back, 34, 660, 530, true);
  gfx::DrawLabel(475, 25, 28, 18, "HELP", back, kGreen);
  gfx::DrawLabel(40, 140, 28, 18, title, back, kGreen);
}

void DrawOverview(gfx::TSurface* back) {
  for (const Line& l : kOverview) gfx::DrawTextLeft(l.x, l.y, 14, 10, l.text, back, kDarkGreen);
}

void DrawBonuses(gfx::TSurface* back) {
  if (AnimCounter / kFramesPerPicture > kBonusFrames - 1) AnimCounter = 0;
  const int32_t f = static_cast<int32_t>(AnimCounter / kFramesPerPicture);
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < 3; ++i) {
      const int k = 3 * c + i;
      const int32_t w = BonusSizes[k].Width;
      const int32_t h = BonusSizes[k].Height;
      const gfx::Rect frame{f * w, 0, f * w + w, h};
      if (const gfx::TSurface* strip = gfx::SpriteImages[45 + k].get()) {
        back->BltFast(kBonusColumnX[c], 180 + 120 * i, *strip, &frame, gfx::kBltWaitSrcKey);
      }
      gfx::DrawTextLeft(kBonusNameX[c], 200 + 120 * i, 24, 14, kBonusNames[k], back, kDarkGreen);
    }
  }
  AnimCounter += 1;
}

void DrawControls(gfx::TSurface* back) {
  for (const ControlLine& l : kControls) {
    if (l.heading) {
      gfx::DrawTextLeft(40, l.y, 18, 10, l.text, back, kGreen);
    } else {
      gfx::DrawTextLeft(40, l.y, 14, 10, l.text, back, kDarkGreen);
    }
  }
}

void DrawAbout(gfx::TSurface* back) {
  CopyScreenImage(back, 41, 40, 220, true);
  gfx::DrawTextLeft(170, 220, 28, 18, "STARMOAT v.2.0", back, kGreen);
  gfx::DrawTextLeft(170, 255, 28, 18, kAboutNotice, back, kDarkGreen);
  gfx::DrawTextLeft(170, 290, 28, 18, kAboutAddress, back, kDarkGreen);
}

}  // namespace

void DrawHelpPage(gfx::TSurface* back, int32_t state) {
  switch (state) {
    case ssHelpOverview:
      DrawHelpFrame(back, "GAME OVERVIEW");
      DrawOverview(back);
      break;
    case ssHelpBonuses:
      DrawHelpFrame(back, "BONUSES");
      DrawBonuses(back);
      break;
    case ssHelpControls:
      DrawHelpFrame(back, "CONTROLS");
      DrawControls(back);
      break;
    case ssHelpAbout:
      DrawHelpFrame(back, "ABOUT");
      DrawAbout(back);
      break;
    default: return;
  }
  HelpButtons->Draw(back);
}
