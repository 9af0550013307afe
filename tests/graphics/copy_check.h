// Checks shared by the surface and sprite tests: a numbered source picture with one key pixel,
// and the exact picture a clipped copy must leave on its target.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "graphics/surface.h"

namespace gfx::testing_support {

inline constexpr uint32_t kKey = 0xFF00FF;

// w x h pixels, each a distinct colour that is never the key, except the key pixel at
// (keyX, keyY); the surface's colour key is set.
inline TSurface MakeNumbered(int32_t w, int32_t h, int32_t keyX, int32_t keyY) {
  TSurface s(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) s.SetPixel(x, y, static_cast<uint32_t>(0x100000 + x * h + y));
  s.SetPixel(keyX, keyY, kKey);
  s.SetColorKey(kKey);
  return s;
}

// Success when `target` holds src's pixels in `drawn` (source pixel (sx0, sy0) at its top-left;
// key pixels skipped when `keyed`) and `background` everywhere else.
inline ::testing::AssertionResult ShowsCopy(const TSurface& target, const TSurface& src,
                                            const Rect& drawn, int32_t sx0, int32_t sy0,
                                            uint32_t background, bool keyed) {
  for (int32_t y = 0; y < target.Height(); ++y) {
    for (int32_t x = 0; x < target.Width(); ++x) {
      uint32_t expected = background;
      if (x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom) {
        expected = src.GetPixel(sx0 + x - drawn.left, sy0 + y - drawn.top);
        if (keyed && expected == kKey) expected = background;
      }
      if (target.GetPixel(x, y) != expected) {
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex
                                             << target.GetPixel(x, y) << ", expected " << expected;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace gfx::testing_support
