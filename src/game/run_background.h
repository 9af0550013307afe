// One tiled background layer that scrolls down one pixel per step and shifts sideways for
// parallax. Its steps also measure the stage's progress (TGame::Distance).
#pragma once

#include <cstdint>

#include "game/game_output.h"

class TRunBackground {
 public:
  // Layer `kind` is also the tile's index in SpriteImages; kinds 0..7 take their tile size
  // from the table, any other kind keeps width x height. Scrolls every more than `interval` ms.
  TRunBackground(uint16_t width, uint16_t height, uint8_t kind, uint16_t interval);

  // Draws the tiles (one spare tile on every side) and scrolls when it is time. Called for
  // both layers every frame in every status.
  void Draw(gfx::TSurface* target);
  // Moves the layer sideways by dx px; the offset is kept within one tile width, which leaves
  // the picture unchanged and keeps shifts from building up over many stages.
  void ShiftX(int16_t dx);

  int16_t OffsetX = 0;
  int16_t OffsetY = 0;
  uint16_t TileWidth = 0;
  uint16_t TileHeight = 0;
  uint16_t Interval = 0;
  uint8_t ImageIndex = 0;
  uint8_t Columns = 0;
  uint8_t Rows = 0;
  uint32_t FrameTick = 0;
  uint32_t ScrollTick = 0;
};
