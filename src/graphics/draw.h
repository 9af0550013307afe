// Drawing primitives: the clipped sprite copy, text, rounded bars and the mouse hit test.
// Colours are RGB hex values (0xRRGGBB). Fonts: font height is the character cell height in
// pixels, font width the average character width in pixels.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/surface.h"

namespace gfx {

// Copies source rectangle src of `source` to (x, y) of `target`, colour-keyed, clipped at the
// screen's right edge (800), bottom limit (598), left and top edges.
void DrawSprite(const TSurface* source, TSurface* target, const Rect& src, int16_t x, int16_t y);

// Display-face text at (x, y), left-top aligned, with a lighter copy one pixel down and right
// (78FF78 behind 00FF00, 30BB30 behind every other colour).
void DrawLabel(int32_t x, int32_t y, int32_t fontHeight, int32_t fontWidth, const std::string& text,
               TSurface* target, uint32_t rgb);

// Display-face text, top aligned; alignment 0: x is the left edge, 2: x is the right edge.
void DrawTextAligned(int32_t x, int32_t y, int32_t fontHeight, int32_t fontWidth,
                     const std::string& text, TSurface* target, uint32_t rgb, int32_t alignment);
void DrawTextLeft(int32_t x, int32_t y, int32_t fontHeight, int32_t fontWidth,
                  const std::string& text, TSurface* target, uint32_t rgb);

// The two type faces: the display face of labels, titles and body text, and the entry face of
// what the player sets or types (the option values and the text entry boxes).
enum class Face { Display, Entry };

// Text in either face (bold, antialiased); alignment as for DrawTextAligned.
void DrawTextFace(Face face, int32_t x, int32_t y, int32_t fontHeight, int32_t fontWidth,
                  const std::string& text, TSurface* target, uint32_t rgb, int32_t alignment);
// Width in pixels that the text takes in that face and size.
int32_t TextWidth(Face face, int32_t fontHeight, int32_t fontWidth, const std::string& text);

// Filled rectangle with slightly curved corners (life bars).
void FillRoundRect(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t rgb,
                   TSurface* target);

// True when left < px < right and top < py < bottom.
bool PointInRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t px, int32_t py);

}  // namespace gfx
