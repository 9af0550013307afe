// Sizes of every pack picture. Game sprites take the frame sizes the game objects use; menu
// and heads-up pictures are sized to the rectangles and positions they are drawn at.
#pragma once

namespace packgen {

struct Size {
  int w, h;
};

// Frame sizes of the game objects; strips are `frames` of these side by side.
inline constexpr Size kBarSize{10, 124};
inline constexpr Size kFarTile{512, 486};
inline constexpr Size kNearTile{300, 200};
inline constexpr Size kShipFrame{65, 100};
inline constexpr int kShipFrames = 10;  // five tilts x two flame frames
inline constexpr Size kEnemySizes[9] = {{59, 28}, {59, 28}, {75, 102}, {57, 160}, {75, 75},
                                        {80, 70}, {85, 110}, {80, 75}, {60, 75}};
inline constexpr Size kBossSizes[3] = {{150, 180}, {235, 225}, {225, 280}};
inline constexpr Size kShotSizes[15] = {{26, 28}, {15, 29}, {26, 26}, {60, 60},  {25, 25},
                                        {14, 139}, {35, 35}, {27, 27}, {20, 45},  {32, 32},
                                        {75, 420}, {35, 35}, {235, 225}, {50, 70}, {15, 35}};
inline constexpr int kShotFrames[15] = {2, 2, 1, 1, 1, 4, 8, 1, 1, 8, 5, 1, 1, 1, 1};
inline constexpr Size kAsteroidSizes[2] = {{36, 31}, {74, 52}};
inline constexpr int kAsteroidFrames = 8;
inline constexpr int kHitSizes[6] = {16, 16, 16, 64, 64, 64};
inline constexpr int kHitFrames = 16;
inline constexpr Size kBonusSizes[9] = {{58, 66}, {60, 64}, {56, 56}, {62, 58}, {58, 56},
                                        {56, 58}, {56, 58}, {70, 68}, {58, 60}};
inline constexpr int kBonusFrames = 8;

// Pictures sized by where they are drawn.
// Pause shading: drawn at (0, 2i) for 300 lines, one screen row of the 800-wide screen.
inline constexpr Size kShadingLine{800, 1};
// Unused slots still hold a valid picture.
inline constexpr Size kUnusedSlot{8, 8};
// Weapon icons at (663, 518): 54 wide ends before the "X nn" text at x 721, 26 high ends
// above the special indicators at y 545.
inline constexpr Size kWeaponIcon{54, 26};
// The twin-beam icon is drawn 10 px higher, at (663, 508): 10 px taller, same bottom edge.
inline constexpr Size kWeaponIconTall{54, 36};

// Menu background, heads-up frame: the whole 800 x 600 screen.
inline constexpr Size kScreen{800, 600};
// Main-menu highlights: exactly the six button rectangles (470, 337..573, right 786).
inline constexpr Size kMainButtons[6] = {{316, 38}, {316, 37}, {316, 36},
                                         {316, 39}, {316, 40}, {316, 40}};
inline constexpr int kMainButtonTops[6] = {337, 376, 415, 452, 492, 533};
inline constexpr int kMainButtonLeft = 470;
// Main-menu panel at (461, 327): the button rectangles plus a 9-px rim on every side.
inline constexpr int kMainPanelX = 461, kMainPanelY = 327;
inline constexpr Size kMainPanel{334, 256};
// Level marker at x 760 rides from y 245 up to y 55; 20 wide fills the gap between the
// shield (747..757) and energy (780..790) bar columns.
inline constexpr Size kLevelMarker{20, 14};
// Option boxes. The highlight picture is the row's whole rectangle; the normal look is drawn at
// (dx, dy) inside it, and the highlight lights the same box in the same place. The values are
// drawn near the lower edge of their rows, so the boxes reach down to 1-3 px above the
// rectangle's bottom: a glyph's descender then still lies inside the frame.
struct OptionBox {
  Size highlight;
  int dx, dy;
  Size box;
};
// "Display" row: (295, 226)-(437, 256), normal look at (300, 230).
inline constexpr OptionBox kDisplayBox{{142, 30}, 5, 4, {132, 24}};
// On/off rows: (322, 287)-(390, 317), normal look at (327, 292).
inline constexpr OptionBox kOnOffBox{{68, 30}, 5, 5, {58, 22}};
// "Boss key" row: (305, 473)-(491, 509), normal look at (309, 477).
inline constexpr OptionBox kBossKeyBox{{186, 36}, 4, 4, {178, 30}};
// The country box: (305, 409)-(677, 450), normal look at (309, 413); its typed text is drawn
// 32 px high from y 419.
inline constexpr OptionBox kEditBox{{372, 41}, 4, 4, {364, 36}};
// High-score table row: drawn at (250, 120 + 36 i), so 36 high to join; 510 wide reaches
// past a seven-digit score in the column at x 640.
inline constexpr Size kTableRow{510, 36};
// High-score page buttons: highlights are the rectangles (43,133)-(230,208) and
// (44,203)-(229,279); normal looks at (50,140) and (50,210) sit 7 px inside them.
inline constexpr Size kScoreButtonHighlights[2] = {{187, 75}, {185, 76}};
inline constexpr Size kScoreButtonNormals[2] = {{173, 61}, {173, 62}};
// Small buttons ("back", help "previous"/"next"): highlight = the 116 x 51 rectangles,
// normal look 7 px inside (e.g. back at (121, 460) inside (114, 453)-(230, 504)).
inline constexpr Size kSmallButtonHighlight{116, 51};
inline constexpr Size kSmallButtonNormal{102, 37};
// Dialog panel: 420 wide is centred at x 190 and still covers the name box (right 564) when
// drawn at 215; 200 high runs from y 200 to below the answer captions (bottom 380).
inline constexpr Size kDialogPanel{420, 200};
// Top status strip at (80, 4): spans lives (x 140), level (315) and score (533..720).
inline constexpr Size kHudTopPanel{660, 24};
// Right console at (652, 37) down to the screen's bottom-right corner: holds the level rail,
// the bar troughs, the weapon icon box and the special sockets.
inline constexpr Size kHudRightPanel{148, 563};
// Special indicators: bomb at (670, 545) must end before the wall at (733, 545); both end
// above the bottom edge.
inline constexpr Size kSpecialIndicator{60, 48};
// Title logo: given.
inline constexpr Size kLogo{250, 138};
// Header right part at (388, 0): to the right edge, tall enough for the page title at y 25.
inline constexpr Size kHeader{412, 76};
// "ABOUT" picture at (40, 220): ends 10 px before the text column at x 170.
inline constexpr Size kAboutPicture{120, 120};

inline constexpr int kPackRecords = 102;

}  // namespace packgen
