// Which picture goes into which pack record.
#include <stdexcept>

#include "layout.h"
#include "sprites.h"

namespace packgen {

namespace {

// Game sprites, records 0..59.
void AddSprites(std::vector<Picture>& pack) {
  pack.push_back(DrawHudBar(true));   // 0 shield bar
  pack.push_back(DrawHudBar(false));  // 1 energy bar
  pack.push_back(DrawFarTile());      // 2
  for (int v = 0; v < 5; ++v) pack.push_back(DrawNearTile(v));  // 3..7
  pack.push_back(DrawPlayerShip());   // 8
  pack.push_back(DrawShadingLine());  // 9
  for (int k = 0; k < 9; ++k) pack.push_back(DrawEnemy(k));       // 10..18
  for (int k = 0; k < 3; ++k) pack.push_back(DrawBoss(k));        // 19..21
  for (int k = 0; k < 15; ++k) pack.push_back(DrawShot(k));       // 22..36
  for (int k = 0; k < 2; ++k) pack.push_back(DrawAsteroid(k));    // 37..38
  for (int k = 0; k < 6; ++k) pack.push_back(DrawExplosion(k));   // 39..44
  for (int k = 0; k < 9; ++k) pack.push_back(DrawBonus(k));       // 45..53
  pack.push_back(DrawUnused());                                   // 54
  for (int weapon : {8, 1, 3, 5, 0}) pack.push_back(DrawWeaponIcon(weapon));  // 55..59
}

// Menu and heads-up pictures, records 60..101 (screen slots 0..41).
void AddScreens(std::vector<Picture>& pack) {
  pack.push_back(DrawMenuBackground());                                   // 0
  for (int i = 0; i < 6; ++i) pack.push_back(DrawMainButton(i, true));    // 1..6
  pack.push_back(DrawLevelMarker());                                      // 7
  pack.push_back(DrawEditBox(false));                                     // 8
  pack.push_back(DrawOptionBox(kBossKeyBox, false));                      // 9
  pack.push_back(DrawTableRow());                                         // 10
  pack.push_back(DrawScoreButton(0, true));                               // 11
  pack.push_back(DrawScoreButton(1, true));                               // 12
  pack.push_back(DrawUnused());                                           // 13
  pack.push_back(DrawSmallButton(SmallButton::kBack, true));              // 14
  pack.push_back(DrawSmallButton(SmallButton::kPrevious, true));          // 15
  pack.push_back(DrawSmallButton(SmallButton::kNext, true));              // 16
  pack.push_back(DrawOptionBox(kDisplayBox, false));                      // 17
  pack.push_back(DrawOptionBox(kOnOffBox, false));                        // 18
  pack.push_back(DrawDialogPanel());                                      // 19
  pack.push_back(DrawHudTopPanel());                                      // 20
  pack.push_back(DrawHudFrame());                                         // 21
  pack.push_back(DrawHudRightPanel());                                    // 22
  pack.push_back(DrawSmallButton(SmallButton::kNext, false));             // 23
  pack.push_back(DrawSmallButton(SmallButton::kPrevious, false));         // 24
  for (int i = 25; i <= 28; ++i) pack.push_back(DrawUnused());            // 25..28
  pack.push_back(DrawLogo());                                             // 29
  pack.push_back(DrawHeader());                                           // 30
  pack.push_back(DrawMainPanel());                                        // 31
  pack.push_back(DrawScoreButton(0, false));                              // 32
  pack.push_back(DrawScoreButton(1, false));                              // 33
  pack.push_back(DrawSmallButton(SmallButton::kBack, false));             // 34
  pack.push_back(DrawOptionBox(kOnOffBox, true));                         // 35
  pack.push_back(DrawOptionBox(kDisplayBox, true));                       // 36
  pack.push_back(DrawEditBox(true));                                      // 37
  pack.push_back(DrawOptionBox(kBossKeyBox, true));                       // 38
  pack.push_back(DrawSpecialIndicator(true));                             // 39 wall
  pack.push_back(DrawSpecialIndicator(false));                            // 40 bomb
  pack.push_back(DrawAboutPicture());                                     // 41
}

}  // namespace

std::vector<Picture> DrawPack() {
  std::vector<Picture> pack;
  pack.reserve(kPackRecords);
  AddSprites(pack);
  AddScreens(pack);
  if (pack.size() != size_t(kPackRecords)) throw std::logic_error("pack record count");
  return pack;
}

}  // namespace packgen
