// The fonts of the text primitives and the rasterised lines they draw.
//
// A GDI font is asked for by cell height and average character width in pixels; we open the
// installed face with separate horizontal and vertical scales so that both match. Opened fonts
// are kept per (face, height, width) and rasterised lines per (face, height, width, text): the
// same line drawn every frame is rasterised once, and the picture is the same as without the
// cache.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/draw.h"

namespace gfx {

// Installed families standing in for the original "Crystal" (labels and titles: a technical
// look, still legible at 14 pixels) and "Cranberry Cyr" (the text entry box; also the option
// values). Both are looked up bold. The entry face is a typewriter face whose descent metric is
// much deeper than its descenders, so its letters sit high in the character cell: the values and
// the typed country are drawn near the lower edge of their boxes, and a face that fills its cell
// down to the bottom (as most do) pushes the baseline and the descenders onto or below the box's
// frame. Debian packages fonts-play and fonts-urw-base35.
inline constexpr const char* kDisplayFontFamily = "Play";
inline constexpr const char* kEntryFontFamily = "Nimbus Mono PS";
// Used when a family is not installed.
inline constexpr const char* kFallbackFontFamily = "DejaVu Sans";
inline constexpr const char* kFallbackFontPath =
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// One line of text as coverage values 0..255, `width` x `height`, column 0 at the pen's start.
// Row `cellTop` is the top of the character cell; it is above 0 when a glyph (an accented
// capital, say) reaches higher than the cell.
struct TextMask {
  int32_t width = 0;
  int32_t height = 0;
  int32_t cellTop = 0;
  std::vector<uint8_t> alpha;
};

// The rasterised line, or null when the text is empty or no font can be opened. The pointer
// stays valid until the next call.
const TextMask* RenderText(Face face, int32_t fontHeight, int32_t fontWidth,
                           const std::string& text);

// Width in pixels of the line (0 when empty or no font).
int32_t MeasureText(Face face, int32_t fontHeight, int32_t fontWidth, const std::string& text);

// Closes every font and forgets every line (the program-state reset; the next text call finds
// the faces again through the platform's font locator).
void ResetFontCache();

}  // namespace gfx
