#include "persistence/hiscores.h"

#include <utility>

#include "graphics/draw.h"
#include "persistence/config.h"

namespace {

constexpr uint32_t kBrightGreen = 0x00FF00;
constexpr uint32_t kDarkGreen = 0x228822;
constexpr int32_t kFontHeight = 24;

struct Column {
  int32_t x;
  int32_t fontWidth;
};
constexpr Column kPlaceColumn{310, 16};
constexpr Column kNameColumn{410, 14};
constexpr Column kScoreColumn{640, 16};
constexpr int32_t kHeadingY = 124;
constexpr int32_t kFirstRowY = 160;
constexpr int32_t kRowPitch = 36;

}  // namespace

bool ScoreQualifies(int32_t score) { return HiScores[kHiScoreCount - 1].Score < score; }

void SwapHiScores(int j) { std::swap(HiScores[j - 1], HiScores[j]); }

void InsertHiScore(const std::string& name, int32_t score) {
  HiScores[kHiScoreCount - 1] = THiScores{name, score};
  // Every pass runs even though only the last entry is new; a table mended from a damaged file
  // comes out sorted too.
  for (int i = 0; i < kHiScoreCount; ++i) {
    for (int j = kHiScoreCount - 1; j > i; --j) {
      if (HiScores[j - 1].Score < HiScores[j].Score) SwapHiScores(j);
    }
  }
  SaveConfig();
}

void DrawHiScores(gfx::TSurface* target) {
  gfx::DrawLabel(270, kHeadingY, kFontHeight, 16, "Place", target, kBrightGreen);
  gfx::DrawLabel(450, kHeadingY, kFontHeight, 14, "Name", target, kBrightGreen);
  gfx::DrawLabel(640, kHeadingY, kFontHeight, 16, "Score", target, kBrightGreen);
  for (int i = 0; i < kHiScoreCount; ++i) {
    const int32_t y = kFirstRowY + kRowPitch * i;
    const uint32_t colour = i == 0 ? kBrightGreen : kDarkGreen;
    gfx::DrawLabel(kPlaceColumn.x, y, kFontHeight, kPlaceColumn.fontWidth, std::to_string(i + 1),
                   target, colour);
    gfx::DrawLabel(kNameColumn.x, y, kFontHeight, kNameColumn.fontWidth, HiScores[i].Name, target,
                   colour);
    gfx::DrawLabel(kScoreColumn.x, y, kFontHeight, kScoreColumn.fontWidth,
                   std::to_string(HiScores[i].Score), target, colour);
  }
}
