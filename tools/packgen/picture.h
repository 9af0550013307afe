// A finished pack picture: opaque 0xRRGGBB pixels, transparent parts already painted in the
// slot's key colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace packgen {

inline constexpr uint32_t kMagentaKey = 0xFF00FF;
inline constexpr uint32_t kBlackKey = 0x000000;

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // row-major, top row first, 0x00RRGGBB

  Picture() = default;
  Picture(int w, int h, uint32_t fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}
  uint32_t& At(int x, int y) { return pixels[size_t(y) * width + x]; }
  uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

}  // namespace packgen
