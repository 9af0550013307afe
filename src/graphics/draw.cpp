#include "graphics/draw.h"

#include <algorithm>
#include <climits>

#include "graphics/font_cache.h"

namespace gfx {

namespace {

// The screen area sprites are clipped to. The bottom limit is two pixels above the screen's
// bottom edge, as the game has always drawn it.
constexpr int32_t kClipRight = 800;
constexpr int32_t kClipBottom = 598;

constexpr uint32_t kBrightGreen = 0x00FF00;
constexpr uint32_t kLightOffsetTint = 0x78FF78;
constexpr uint32_t kDarkOffsetTint = 0x30BB30;

constexpr int32_t kAlignRight = 2;

uint32_t Blend(uint32_t dst, uint32_t rgb, uint32_t a) {
  const uint32_t na = 255 - a;
  const uint32_t r = (((rgb >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * na + 127) / 255;
  const uint32_t g = (((rgb >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * na + 127) / 255;
  const uint32_t b = ((rgb & 0xFF) * a + (dst & 0xFF) * na + 127) / 255;
  return r << 16 | g << 8 | b;
}

// Blends the coverage mask onto the target in one colour, the mask's top-left at (x, y).
void BlendMask(const TextMask& mask, TSurface* target, int32_t x, int32_t y, uint32_t rgb) {
  rgb &= 0xFFFFFF;
  // The part of the mask that lands on the target.
  const int64_t left = std::max<int64_t>(0, -static_cast<int64_t>(x));
  const int64_t top = std::max<int64_t>(0, -static_cast<int64_t>(y));
  const int64_t right = std::min<int64_t>(mask.width, static_cast<int64_t>(target->Width()) - x);
  const int64_t bottom = std::min<int64_t>(mask.height, static_cast<int64_t>(target->Height()) - y);
  for (int64_t my = top; my < bottom; ++my) {
    const uint8_t* coverage = mask.alpha.data() + my * mask.width;
    uint32_t* row = target->Row(static_cast<int32_t>(y + my));
    for (int64_t mx = left; mx < right; ++mx) {
      const uint32_t a = coverage[mx];
      if (a == 0) continue;
      uint32_t& pixel = row[x + mx];
      pixel = a == 255 ? rgb : Blend(pixel, rgb, a);
    }
  }
}

}  // namespace

void DrawSprite(const TSurface* source, TSurface* target, const Rect& src, int16_t x, int16_t y) {
  if (!source || !target) return;
  Rect r = src;
  int32_t dx = x;
  int32_t dy = y;
  // Right and bottom are cut with the unclipped position, before the left and top cuts.
  if (dx + (r.right - r.left) > kClipRight) r.right = r.left + (kClipRight - dx);
  if (dy + (r.bottom - r.top) > kClipBottom) r.bottom = r.top + (kClipBottom - dy);
  if (dx < 0) {
    r.left -= dx;
    dx = 0;
  }
  if (dy < 0) {
    r.top -= dy;
    dy = 0;
  }
  // An empty or inverted rectangle (a sprite wholly off the screen) draws nothing.
  target->BltFast(dx, dy, *source, &r, kBltNoWaitSrcKey);
}

void DrawTextFace(Face face, int32_t x, int32_t y, int32_t fontHeight, int32_t fontWidth,
                  const std::string& text, TSurface* target, uint32_t rgb, int32_t alignment) {
  if (!target) return;
  const TextMask* mask = RenderText(face, fontHeight, fontWidth, text);
  if (!mask) return;
  const int32_t left = alignment == kAlignRight ? x - mask->width : x;
  BlendMask(*mask, target, left, y - mask->cellTop, rgb);
}

int32_t TextWidth(Face face, int32_t fontHeight, int32_t fontWidth, const std::string& text) {
  return MeasureText(face, fontHeight, fontWidth, text);
}

void DrawLabel(int32_t x, int32_t y, int32_t fontHeight, int32_t fontWidth, const std::string& text,
               TSurface* target, uint32_t rgb) {
  const uint32_t offsetTint = (rgb & 0xFFFFFF) == kBrightGreen ? kLightOffsetTint : kDarkOffsetTint;
  DrawTextFace(Face::Display, x + 1, y + 1, fontHeight, fontWidth, text, target, offsetTint, 0);
  DrawTextFace(Face::Display, x, y, fontHeight, fontWidth, text, target, rgb, 0);
}

void DrawTextAligned(int32_t x, int32_t y, int32_t fontHeight, int32_t fontWidth,
                     const std::string& text, TSurface* target, uint32_t rgb, int32_t alignment) {
  DrawTextFace(Face::Display, x, y, fontHeight, fontWidth, text, target, rgb, alignment);
}

void DrawTextLeft(int32_t x, int32_t y, int32_t fontHeight, int32_t fontWidth,
                  const std::string& text, TSurface* target, uint32_t rgb) {
  DrawTextFace(Face::Display, x, y, fontHeight, fontWidth, text, target, rgb, 0);
}

void FillRoundRect(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t rgb,
                   TSurface* target) {
  if (!target || width <= 0 || height <= 0) return;
  const int64_t right = static_cast<int64_t>(left) + width;   // exclusive
  const int64_t bottom = static_cast<int64_t>(top) + height;  // exclusive
  // A 1 x 1 corner ellipse rounds nothing off: the shape is the whole rectangle.
  const auto clamp = [](int64_t v) {
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX));
  };
  target->FillRect(Rect{left, top, clamp(right), clamp(bottom)}, rgb);
}

bool PointInRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t px, int32_t py) {
  return left < px && px < right && top < py && py < bottom;
}

}  // namespace gfx
