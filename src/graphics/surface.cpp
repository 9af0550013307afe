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

// The reference: one pixel at a time.
void CopyKeyedPlain(const KeyedRows& k) {
  for (int32_t r = 0; r < k.height; ++r) {
    CopyTail(k.dst + static_cast<ptrdiff_t>(r) * k.dstStride,
             k.src + static_cast<ptrdiff_t>(r) * k.srcStride, 0, k.width, k.key);
  }
}

#if defined(STARMOAT_AVX2_ROWS)
bool HasAvx2() {
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  return hasAvx2;
}
#endif

void CopyKeyed(const KeyedRows& k) {
#if defined(STARMOAT_AVX2_ROWS)
  if (HasAvx2()) {
    CopyKeyedAvx2(k);
    return;
  }
#endif
  CopyKeyedPortable(k);
}

// A row of pixels whose stretches of opaque pixels are shorter than this on average is
// compared pixel by pixel: copying a handful of pixels per call costs more than comparing.
constexpr int32_t kShortestAverageRun = 8;

// Four or eight pixels moved as one unit: a 16-byte SSE2 or a 32-byte AVX2 register, depending
// on the function the copy is compiled into. Pixel rows are only 4-byte aligned.
typedef uint32_t Pixels4 __attribute__((vector_size(16), aligned(4), may_alias));
typedef uint32_t Pixels8 __attribute__((vector_size(32), aligned(4), may_alias));

template <int32_t kPixels>
[[gnu::always_inline]] inline void MoveBlock(uint32_t* dst, const uint32_t* src) {
  if constexpr (kPixels == 8) {
    *reinterpret_cast<Pixels8*>(dst) = *reinterpret_cast<const Pixels8*>(src);
  } else {
    *reinterpret_cast<Pixels4*>(dst) = *reinterpret_cast<const Pixels4*>(src);
  }
}

// Copies one opaque run of `count` pixels. A sprite row is a few dozen pixels, so a call of
// the library's memcpy, which first sorts the size out, costs as much as the copy itself;
// here the run moves in whole blocks, and the last block ends exactly at the run's end,
// overlapping the one before it instead of finishing pixel by pixel.
template <int32_t kStep>
[[gnu::always_inline]] inline void CopyRun(uint32_t* dst, const uint32_t* src, int32_t count) {
  if (count < kStep) {
    for (int32_t i = 0; i < count; ++i) dst[i] = src[i];
    return;
  }
  for (int32_t i = 0; i + kStep < count; i += kStep) MoveBlock<kStep>(dst + i, src + i);
  MoveBlock<kStep>(dst + count - kStep, src + count - kStep);
}

// The opaque runs of source rows [sy, sy + h) that fall into columns [sx, sx + w).
struct RunCopy {
  const OpaqueRuns* runs;
  uint32_t* dst;        // where source pixel (sx, sy) goes
  int32_t dstStride;
  const uint32_t* src;  // source pixel (0, sy)
  int32_t srcStride;
  int32_t sx, sy, w, h;
  bool wholeRows;       // sx == 0 and w is the source's width
};

template <int32_t kStep>
[[gnu::always_inline]] inline void CopyRunRows(const RunCopy& c) {
  // Everything the loops need is taken out of `c` first: the pixel stores could change any
  // int32_t in memory as far as the compiler knows, so fields read through `c` would be read
  // from memory again after every row's stores instead of staying in registers.
  const OpaqueRuns::Run* const runs = c.runs->runs.data();
  const OpaqueRuns::RowRuns* row = c.runs->rows.data() + c.sy;
  const OpaqueRuns::RowRuns* const rowsEnd = row + c.h;
  uint32_t* d = c.dst;
  const uint32_t* s = c.src;
  const ptrdiff_t dstStride = c.dstStride;
  const ptrdiff_t srcStride = c.srcStride;
  if (c.wholeRows) {
    // Most copies take whole rows of the picture: no run needs cutting, so this loop is kept
    // free of everything the cut-out case needs.
    for (; row != rowsEnd; ++row, d += dstStride, s += srcStride) {
      const OpaqueRuns::Run* const end = runs + row->first + row->count;
      for (const OpaqueRuns::Run* run = runs + row->first; run != end; ++run) {
        CopyRun<kStep>(d + run->begin, s + run->begin, run->end - run->begin);
      }
    }
    return;
  }
  const int32_t sx = c.sx;
  const int32_t right = c.sx + c.w;
  for (; row != rowsEnd; ++row, d += dstStride, s += srcStride) {
    const OpaqueRuns::Run* const end = runs + row->first + row->count;
    // The first run that reaches into the copied columns.
    const OpaqueRuns::Run* run = std::partition_point(
        runs + row->first, end, [sx](const OpaqueRuns::Run& r) { return r.end <= sx; });
    for (; run != end && run->begin < right; ++run) {
      const int32_t begin = std::max(run->begin, sx);
      CopyRun<kStep>(d + (begin - sx), s + begin, std::min(run->end, right) - begin);
    }
  }
}

#if defined(STARMOAT_AVX2_ROWS)
__attribute__((target("avx2"))) void CopyRunRowsAvx2(const RunCopy& c) { CopyRunRows<8>(c); }
#endif

void CopyRunRowsPortable(const RunCopy& c) { CopyRunRows<4>(c); }

bool PlainCopies = false;

void FillPlain(uint32_t* row, int32_t count, uint32_t rgb) {
  for (int32_t i = 0; i < count; ++i) row[i] = rgb;
}

}  // namespace

void UsePlainCopies(bool plain) { PlainCopies = plain; }

TSurface::TSurface(int32_t width, int32_t height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {}

TSurface TSurface::View(uint32_t* pixels, int32_t width, int32_t height) {
  TSurface view(0, 0);
  view.width_ = std::max(width, 0);
  view.height_ = std::max(height, 0);
  view.external_ = pixels;
  return view;
}

int32_t TSurface::Fill(uint32_t rgb) {
  FillRect({0, 0, width_, height_}, rgb);
  return 0;
}

void TSurface::FillRect(const Rect& r, uint32_t rgb) {
  const int32_t left = std::max(r.left, 0);
  const int32_t top = std::max(r.top, 0);
  const int32_t right = std::min(r.right, width_);
  const int32_t bottom = std::min(r.bottom, height_);
  if (left >= right || top >= bottom) return;
  rgb &= 0xFFFFFF;
  const int32_t w = right - left;
  // The clear of every frame: paid row by row later, where nothing has covered it.
  if (!PlainCopies && rgb == 0 && w == width_ && bottom - top == height_) {
    runs_.valid = false;
    OweClear();
    return;
  }
  if (PlainCopies) {
    for (int32_t y = top; y < bottom; ++y) FillPlain(Row(y) + left, w, rgb);
    return;
  }
  const size_t rowBytes = static_cast<size_t>(w) * sizeof(uint32_t);
  // Black, the clear of every frame, is all zero bytes: memset.
  if (rgb == 0) {
    if (left == 0 && w == width_ && owedRows_ == 0) {
      std::memset(Row(top), 0, rowBytes * static_cast<size_t>(bottom - top));
    } else {
      for (int32_t y = top; y < bottom; ++y) std::memset(Row(y) + left, 0, rowBytes);
    }
    return;
  }
  // Other colours: the first row pixel by pixel, the others copied from it.
  FillPlain(Row(top) + left, w, rgb);
  for (int32_t y = top + 1; y < bottom; ++y) std::memcpy(Row(y) + left, Row(top) + left, rowBytes);
}

void TSurface::OweClear() {
  owed_.assign(static_cast<size_t>(height_), OwedClear{true, 0, 0});
  owedRows_ = height_;
}

void TSurface::PayClearOf(int32_t y) const {
  OwedClear& row = owed_[static_cast<size_t>(y)];
  uint32_t* pixels = At(y);
  std::memset(pixels, 0, static_cast<size_t>(row.coveredBegin) * sizeof(uint32_t));
  std::memset(pixels + row.coveredEnd, 0,
              static_cast<size_t>(width_ - row.coveredEnd) * sizeof(uint32_t));
  row = OwedClear{};
  --owedRows_;
}

void TSurface::PayClears() const {
  for (int32_t y = 0; owedRows_ > 0 && y < height_; ++y) PayClear(y);
}

void TSurface::Cover(int32_t y, int32_t begin, int32_t end) {
  OwedClear& row = owed_[static_cast<size_t>(y)];
  if (!row.owed) return;
  if (row.coveredBegin == row.coveredEnd) {
    row.coveredBegin = begin;
    row.coveredEnd = end;
  } else if (begin <= row.coveredEnd && end >= row.coveredBegin) {
    // Tiles laid side by side: the covered stretch grows.
    row.coveredBegin = std::min(row.coveredBegin, begin);
    row.coveredEnd = std::max(row.coveredEnd, end);
  } else {
    // Two covered stretches with a gap are not worth keeping apart.
    PayClearOf(y);
    return;
  }
  if (row.coveredBegin == 0 && row.coveredEnd == width_) {
    row = OwedClear{};
    --owedRows_;
  }
}

bool TSurface::OpaqueAcross(int32_t y, int32_t x, int32_t w) const {
  const OpaqueRuns& o = Runs();
  const OpaqueRuns::RowRuns& row = o.rows[static_cast<size_t>(y)];
  if (row.fineGrained) return false;
  using Run = OpaqueRuns::Run;
  const Run* rowEnd = o.runs.data() + row.first + row.count;
  const Run* run = std::partition_point(o.runs.data() + row.first, rowEnd,
                                        [&](const Run& k) { return k.end <= x; });
  return run != rowEnd && run->begin <= x && run->end >= x + w;
}

uint64_t TSurface::Hash() const {
  PayClears();
  // Four independent lanes of FNV-style mixing over pairs of pixels, so that the multiplies
  // overlap; the lanes are folded together at the end.
  constexpr uint64_t kPrime = 0x100000001B3ull;
  uint64_t lanes[4] = {0xCBF29CE484222325ull, 1, 2, 3};
  const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  const uint32_t* p = Data();
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    for (size_t l = 0; l < 4; ++l) {
      const uint64_t pair = uint64_t{p[i + 2 * l]} << 32 | p[i + 2 * l + 1];
      lanes[l] = (lanes[l] ^ pair) * kPrime;
    }
  }
  uint64_t hash = lanes[0];
  for (; i < count; ++i) hash = (hash ^ p[i]) * kPrime;
  for (size_t l = 1; l < 4; ++l) hash = (hash ^ lanes[l]) * kPrime;
  return hash;
}

const OpaqueRuns& TSurface::Runs() const {
  if (runs_.valid) return runs_;
  const uint32_t key = colorKey_.value_or(0);
  runs_.runs.clear();
  runs_.rows.assign(static_cast<size_t>(height_), {});
  runs_.anyFineGrained = false;
  for (int32_t y = 0; y < height_; ++y) {
    const uint32_t* row = Row(y);
    const size_t first = runs_.runs.size();
    int32_t x = 0;
    while (x < width_) {
      while (x < width_ && row[x] == key) ++x;
      if (x == width_) break;
      const int32_t begin = x;
      while (x < width_ && row[x] != key) ++x;
      runs_.runs.push_back({begin, x});
    }
    const size_t count = runs_.runs.size() - first;
    OpaqueRuns::RowRuns& r = runs_.rows[static_cast<size_t>(y)];
    r.first = static_cast<uint32_t>(first);
    if (count * kShortestAverageRun > static_cast<size_t>(width_)) {
      runs_.runs.resize(first);
      r.fineGrained = true;
      runs_.anyFineGrained = true;
    } else {
      r.count = static_cast<uint32_t>(count);
    }
  }
  runs_.valid = true;
  return runs_;
}

void TSurface::CopyKeyedRuns(int32_t tx, int32_t ty, const TSurface& src, int32_t sx, int32_t sy,
                             int32_t w, int32_t h) {
  const OpaqueRuns& o = src.Runs();
  const uint32_t key = *src.colorKey_;
  const RunCopy copy{&o, At(ty) + tx, width_, src.At(sy), src.width_, sx, sy, w, h,
                     sx == 0 && w == src.width_};
#if defined(STARMOAT_AVX2_ROWS)
  if (HasAvx2()) {
    CopyRunRowsAvx2(copy);
  } else {
    CopyRunRowsPortable(copy);
  }
#else
  CopyRunRowsPortable(copy);
#endif
  // Fine-grained rows keep no runs and are compared pixel by pixel, in a pass of their own:
  // a call inside the loops over runs would push the values they need out of registers.
  if (!o.anyFineGrained) return;
  for (int32_t y = 0; y < h; ++y) {
    if (o.rows[static_cast<size_t>(sy + y)].fineGrained) {
      CopyKeyed(KeyedRows{At(ty + y) + tx, width_, src.At(sy + y) + sx, src.width_, w, 1, key});
    }
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

  // Rows are reached below through At(): the source (which may be this surface) settles its
  // clear first, and each target row either has the copied columns marked as covered (they
  // are all overwritten) or settles its clear before the copy.
  src.PayClears();
  runs_.valid = false;
  for (int32_t r = 0; owedRows_ > 0 && r < h; ++r) {
    if (!owed_[static_cast<size_t>(ty + r)].owed) continue;
    if (!PlainCopies && (!keyed || src.OpaqueAcross(sy + r, sx, w))) {
      Cover(ty + r, tx, tx + w);
    } else {
      PayClear(ty + r);
    }
  }

  if (keyed && PlainCopies) {
    CopyKeyedPlain(KeyedRows{At(ty) + tx, width_, src.At(sy) + sx, src.width_, w, h, *src.colorKey_});
    return 0;
  }
  if (keyed) {
    CopyKeyedRuns(tx, ty, src, sx, sy, w, h);
    return 0;
  }
  // A copy within one surface may overlap: walk the rows away from the overlap.
  const bool backwards = (&src == this) && ty > sy;
  for (int32_t i = 0; i < h; ++i) {
    const int32_t r = backwards ? h - 1 - i : i;
    std::memmove(At(ty + r) + tx, src.At(sy + r) + sx, static_cast<size_t>(w) * sizeof(uint32_t));
  }
  return 0;
}

}  // namespace gfx
