#include "graphics/surface.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define STARMOAT_AVX2_ROWS 1
#endif

namespace gfx {

namespace {

// A rectangle of a colour-keyed copy: every source pixel that is not the key replaces the
// target pixel. Rows are `dstStride` and `srcStride` pixels apart. Sprites are copied dozens of
// times per frame, so the rows are worked on several pixels at a time where the processor
// allows.
struct KeyedRows {
  uint32_t* dst;
  int32_t dstStride;
  const uint32_t* src;
  int32_t srcStride;
  int32_t width, height;
  uint32_t key;
};

inline void CopyTail(uint32_t* dst, const uint32_t* src, int32_t from, int32_t count, uint32_t key) {
  for (int32_t i = from; i < count; ++i) {
    if (src[i] != key) dst[i] = src[i];
  }
}

void CopyKeyedPortable(const KeyedRows& k) {
  for (int32_t r = 0; r < k.height; ++r) {
    uint32_t* d = k.dst + static_cast<ptrdiff_t>(r) * k.dstStride;
    const uint32_t* s = k.src + static_cast<ptrdiff_t>(r) * k.srcStride;
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i keys = _mm_set1_epi32(static_cast<int32_t>(k.key));
    for (; i + 4 <= k.width; i += 4) {
      const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
      const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
      const __m128i transparent = _mm_cmpeq_epi32(sv, keys);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                       _mm_or_si128(_mm_and_si128(transparent, dv), _mm_andnot_si128(transparent, sv)));
    }
#endif
    CopyTail(d, s, i, k.width, k.key);
  }
}

#if defined(STARMOAT_AVX2_ROWS)
// Eight pixels at a time on processors that have AVX2 (chosen at run time, so the program
// still runs on the others).
__attribute__((target("avx2"))) void CopyKeyedAvx2(const KeyedRows& k) {
  const __m256i keys = _mm256_set1_epi32(static_cast<int32_t>(k.key));
  for (int32_t r = 0; r < k.height; ++r) {
    uint32_t* d = k.dst + static_cast<ptrdiff_t>(r) * k.dstStride;
    const uint32_t* s = k.src + static_cast<ptrdiff_t>(r) * k.srcStride;
    int32_t i = 0;
    for (; i + 8 <= k.width; i += 8) {
      const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
      const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
      const __m256i transparent = _mm256_cmpeq_epi32(sv, keys);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(sv, dv, transparent));
    }
    CopyTail(d, s, i, k.width, k.key);
  }
}
#endif

void CopyKeyed(const KeyedRows& k) {
#if defined(STARMOAT_AVX2_ROWS)
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  if (hasAvx2) {
    CopyKeyedAvx2(k);
    return;
  }
#endif
  CopyKeyedPortable(k);
}

}  // namespace

TSurface::TSurface(int32_t width, int32_t height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {}

int32_t TSurface::Fill(uint32_t rgb) {
  std::fill(pixels_.begin(), pixels_.end(), rgb & 0xFFFFFF);
  return 0;
}

void TSurface::FillRect(const Rect& r, uint32_t rgb) {
  const int32_t left = std::max(r.left, 0);
  const int32_t top = std::max(r.top, 0);
  const int32_t right = std::min(r.right, width_);
  const int32_t bottom = std::min(r.bottom, height_);
  if (left >= right || top >= bottom) return;
  for (int32_t y = top; y < bottom; ++y) {
    std::fill(Row(y) + left, Row(y) + right, rgb & 0xFFFFFF);
  }
}

int32_t TSurface::BltFast(int32_t x, int32_t y, const TSurface& src, const Rect* srcRect,
                          uint32_t mode) {
  // 64-bit arithmetic: callers pass rectangles computed from 16-bit positions and sizes, but a
  // wild value must clip, not overflow.
  int64_t left = srcRect ? srcRect->left : 0;
  int64_t top = srcRect ? srcRect->top : 0;
  int64_t right = srcRect ? srcRect->right : src.width_;
  int64_t bottom = srcRect ? srcRect->bottom : src.height_;
  if (left >= right || top >= bottom) return -1;

  int64_t dx = x;
  int64_t dy = y;
  // Clip against the source surface, moving the target position along.
  if (left < 0) { dx -= left; left = 0; }
  if (top < 0) { dy -= top; top = 0; }
  right = std::min<int64_t>(right, src.width_);
  bottom = std::min<int64_t>(bottom, src.height_);
  // Clip against the target surface.
  if (dx < 0) { left -= dx; dx = 0; }
  if (dy < 0) { top -= dy; dy = 0; }
  right = std::min<int64_t>(right, left + (width_ - dx));
  bottom = std::min<int64_t>(bottom, top + (height_ - dy));
  if (left >= right || top >= bottom) return 0;

  const int32_t w = static_cast<int32_t>(right - left);
  const int32_t h = static_cast<int32_t>(bottom - top);
  const int32_t sx = static_cast<int32_t>(left);
  const int32_t sy = static_cast<int32_t>(top);
  const int32_t tx = static_cast<int32_t>(dx);
  const int32_t ty = static_cast<int32_t>(dy);
  const bool keyed = (mode & 1u) != 0 && src.colorKey_.has_value();

  if (keyed) {
    CopyKeyed(KeyedRows{Row(ty) + tx, width_, src.Row(sy) + sx, src.width_, w, h, *src.colorKey_});
    return 0;
  }
  // A copy within one surface may overlap: walk the rows away from the overlap.
  const bool backwards = (&src == this) && ty > sy;
  for (int32_t i = 0; i < h; ++i) {
    const int32_t r = backwards ? h - 1 - i : i;
    std::memmove(Row(ty + r) + tx, src.Row(sy + r) + sx, static_cast<size_t>(w) * sizeof(uint32_t));
  }
  return 0;
}

}  // namespace gfx
