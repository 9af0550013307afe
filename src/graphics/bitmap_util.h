// Bitmap and colour-key routines: decoding a BMP file held in memory, copying a decoded bitmap
// onto a surface, and turning an RGB colour into a surface's colour key.
//
// Called by the image loader (images.cpp) for every pack record, and by the player ship, which
// sets the key of its sprite again when it is created.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/surface.h"

namespace gfx {

// A decoded picture: width x height pixels of 0x00RRGGBB, rows top to bottom.
struct Bitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

// Largest picture the decoder accepts (either side, and in total), so that a corrupt header
// cannot ask for gigabytes.
inline constexpr int32_t kMaxBitmapSide = 16384;
inline constexpr int64_t kMaxBitmapPixels = 16 * 1024 * 1024;

// Decodes one complete BMP file (any depth the standard reader knows). On failure returns
// false and puts the reason into `error`.
bool DecodeBmp(const uint8_t* data, size_t size, Bitmap& out, std::string& error);

inline constexpr int32_t kEFail = static_cast<int32_t>(0x80004005u);
inline constexpr uint32_t kInvalidColor = 0xFFFFFFFFu;

// Stretches the part (x, y, dx, dy) of the bitmap onto the whole surface (nearest pixel);
// dx or dy 0 means the bitmap's width or height. Returns 0, or kEFail when the surface or the
// bitmap is missing (null or empty).
int32_t CopyBitmapToSurface(TSurface* surface, const Bitmap* bitmap, int32_t x, int32_t y,
                            int32_t dx, int32_t dy);

// The surface's raw pixel value for an RGB colour; for kInvalidColor, the raw value of the
// pixel at (0, 0) (kInvalidColor when the surface is missing or empty). Leaves the surface
// unchanged.
uint32_t ColorMatch(const TSurface* surface, uint32_t rgb);

// Sets the surface's source colour key to the raw value of the colour. Returns 0, or kEFail
// when the surface is missing.
int32_t SetColorKeyRGB(TSurface* surface, uint32_t rgb);

}  // namespace gfx
