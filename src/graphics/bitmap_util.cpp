#include "graphics/bitmap_util.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace gfx {

namespace {

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadLe16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Checks the two headers before the decoder sees them: the decoder allocates the picture from
// the declared size, so a damaged header must be refused here.
bool CheckBmpHeader(const uint8_t* data, size_t size, std::string& error) {
  constexpr size_t kFileHeader = 14;
  if (size < kFileHeader + 12 || data[0] != 'B' || data[1] != 'M') {
    error = "no BMP file header";
    return false;
  }
  const uint32_t infoSize = ReadLe32(data + kFileHeader);
  int64_t width = 0;
  int64_t height = 0;
  if (infoSize == 12) {  // the old OS/2 core header
    width = ReadLe16(data + kFileHeader + 4);
    height = ReadLe16(data + kFileHeader + 6);
  } else if (infoSize >= 40 && size >= kFileHeader + 40) {
    width = static_cast<int32_t>(ReadLe32(data + kFileHeader + 4));
    height = static_cast<int32_t>(ReadLe32(data + kFileHeader + 8));
    height = std::llabs(height);  // negative: rows stored top-down
  } else {
    error = "unknown BMP header";
    return false;
  }
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
      width * height > kMaxBitmapPixels) {
    error = "impossible picture size " + std::to_string(width) + " x " + std::to_string(height);
    return false;
  }
  return true;
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, Bitmap& out, std::string& error) {
  if (!CheckBmpHeader(data, size, error)) return false;
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (!rw) {
    error = SDL_GetError();
    return false;
  }
  SurfacePtr loaded(SDL_LoadBMP_RW(rw, 1));
  if (!loaded) {
    error = SDL_GetError();
    return false;
  }
  SurfacePtr xrgb(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_XRGB8888, 0));
  if (!xrgb) {
    error = SDL_GetError();
    return false;
  }
  out.width = xrgb->w;
  out.height = xrgb->h;
  out.pixels.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
  for (int32_t y = 0; y < out.height; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(xrgb->pixels) +
                                                        static_cast<size_t>(y) * xrgb->pitch);
    uint32_t* dst = out.pixels.data() + static_cast<size_t>(y) * out.width;
    for (int32_t x = 0; x < out.width; ++x) dst[x] = src[x] & 0xFFFFFF;
  }
  return true;
}

int32_t CopyBitmapToSurface(TSurface* surface, const Bitmap* bitmap, int32_t x, int32_t y,
                            int32_t dx, int32_t dy) {
  if (!surface || !bitmap || bitmap->width <= 0 || bitmap->height <= 0) return kEFail;
  if (dx == 0) dx = bitmap->width;
  if (dy == 0) dy = bitmap->height;
  const int32_t w = surface->Width();
  const int32_t h = surface->Height();
  if (dx == w && dy == h && x == 0 && y == 0 && w == bitmap->width && h == bitmap->height) {
    std::memcpy(surface->Pixels(), bitmap->pixels.data(), bitmap->pixels.size() * sizeof(uint32_t));
    return 0;
  }
  // Nearest-pixel stretch; source pixels outside the bitmap leave the target pixel alone.
  for (int32_t ty = 0; ty < h; ++ty) {
    const int64_t sy = y + static_cast<int64_t>(ty) * dy / h;
    if (sy < 0 || sy >= bitmap->height) continue;
    const uint32_t* srcRow = bitmap->pixels.data() + static_cast<size_t>(sy) * bitmap->width;
    uint32_t* dstRow = surface->Row(ty);
    for (int32_t tx = 0; tx < w; ++tx) {
      const int64_t sx = x + static_cast<int64_t>(tx) * dx / w;
      if (sx < 0 || sx >= bitmap->width) continue;
      dstRow[tx] = srcRow[sx];
    }
  }
  return 0;
}

uint32_t ColorMatch(const TSurface* surface, uint32_t rgb) {
  // Our surfaces hold 0x00RRGGBB, so a colour is its own raw pixel value; only the "read the
  // first pixel" form needs the surface.
  if (!surface || surface->Width() == 0 || surface->Height() == 0) return kInvalidColor;
  if (rgb != kInvalidColor) return rgb & 0xFFFFFF;
  return surface->GetPixel(0, 0);
}

int32_t SetColorKeyRGB(TSurface* surface, uint32_t rgb) {
  if (!surface) return kEFail;
  const uint32_t raw = ColorMatch(surface, rgb);
  // An empty surface has no pixels to match; the key still takes the colour.
  surface->SetColorKey(raw == kInvalidColor ? rgb : raw);
  return 0;
}

}  // namespace gfx
