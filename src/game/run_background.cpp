#include "game/run_background.h"

#include "game/game_output.h"
#include "game/game.h"
#include "game/kind_tables.h"
#include "game/world_helpers.h"

namespace {
constexpr int32_t kScreenWidth = 800;
constexpr int32_t kScreenHeight = 600;
}  // namespace

TRunBackground::TRunBackground(uint16_t width, uint16_t height, uint8_t kind, uint16_t interval)
    : TileWidth(width), TileHeight(height), Interval(interval), ImageIndex(kind) {
  if (kind < BackgroundTileSizes.size()) {
    TileWidth = static_cast<uint16_t>(BackgroundTileSizes[kind].Width);
    TileHeight = static_cast<uint16_t>(BackgroundTileSizes[kind].Height);
  }
  Columns = TileWidth ? static_cast<uint8_t>(kScreenWidth / TileWidth) : 0;
  Rows = TileHeight ? static_cast<uint8_t>(kScreenHeight / TileHeight) : 0;
  ScrollTick = GetTickCount();
}

void TRunBackground::ShiftX(int16_t dx) {
  int32_t offset = OffsetX + dx;
  // Any offset in 0..TileWidth-1 leaves no gap: the spare tiles on both sides reach beyond
  // the screen because (Columns + 1) tiles are always wider than it.
  if (TileWidth) offset = ((offset % TileWidth) + TileWidth) % TileWidth;
  OffsetX = static_cast<int16_t>(offset);
}

void TRunBackground::Draw(gfx::TSurface* target) {
  if (IGamePainter* painter = PainterFor(target)) {
    const platform::Rect whole = Bounds(0, 0, TileWidth, TileHeight);
    for (int32_t r = -1; r <= Rows; ++r) {
      for (int32_t c = -1; c <= Columns; ++c) {
        painter->Sprite(target, ImageIndex, whole, static_cast<int16_t>(c * TileWidth + OffsetX),
                        static_cast<int16_t>(r * TileHeight + OffsetY));
      }
    }
  }
  FrameTick = GetTickCount();
  if (TickPassed(FrameTick, ScrollTick, Interval)) {
    ++OffsetY;  // the picture moves down one pixel
    ++Game->Distance;
    if (OffsetY >= TileHeight) OffsetY = 0;
    ScrollTick = GetTickCount();
  }
}
