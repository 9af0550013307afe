#include "platform/sdl/letterbox.h"

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define STARMOAT_AVX2_SCALE 1
#endif

namespace platform {

namespace {

int32_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int32_t>(q);
}

// Row y of a buffer whose rows are `pitch` bytes apart.
uint32_t* RowOf(uint32_t* pixels, int pitch, int32_t y) {
  return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixels) + static_cast<ptrdiff_t>(y) * pitch);
}
const uint32_t* RowOf(const uint32_t* pixels, int pitch, int32_t y) {
  return RowOf(const_cast<uint32_t*>(pixels), pitch, y);
}

#if defined(STARMOAT_AVX2_SCALE)
__attribute__((target("avx2"))) void ScaleBlocksAvx2(const Letterbox::Block* blocks, size_t count,
                                                     const uint32_t* in, uint32_t* out) {
  for (size_t b = 0; b < count; ++b, out += 8) {
    const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + blocks[b].base));
    const __m256i offsets = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(blocks[b].offset));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permutevar8x32_epi32(pixels, offsets));
  }
}
#endif

}  // namespace

Letterbox::Letterbox(int32_t windowWidth, int32_t windowHeight)
    : windowWidth_(std::max(windowWidth, 1)), windowHeight_(std::max(windowHeight, 1)) {
  int32_t w, h;
  // Compare the aspect ratios without rounding: width-limited when W/H <= 800/600.
  if (int64_t{windowWidth_} * kFrameHeight <= int64_t{windowHeight_} * kFrameWidth) {
    w = windowWidth_;
    h = static_cast<int32_t>(int64_t{windowWidth_} * kFrameHeight / kFrameWidth);
  } else {
    h = windowHeight_;
    w = static_cast<int32_t>(int64_t{windowHeight_} * kFrameWidth / kFrameHeight);
  }
  w = std::max(w, 1);
  h = std::max(h, 1);
  const int32_t left = (windowWidth_ - w) / 2;
  const int32_t top = (windowHeight_ - h) / 2;
  picture_ = {left, top, left + w, top + h};
  sourceColumn_.resize(static_cast<size_t>(w));
  scaled_.resize(static_cast<size_t>(w));
  for (int32_t x = 0; x < w; ++x) {
    sourceColumn_[static_cast<size_t>(x)] = static_cast<int32_t>(int64_t{x} * kFrameWidth / w);
  }
  for (size_t x = 0; x + 8 <= sourceColumn_.size(); x += 8) {
    // A load of eight frame pixels must stay inside the row.
    Block block{std::min(sourceColumn_[x], kFrameWidth - 8), {}};
    for (size_t i = 0; i < 8; ++i) block.offset[i] = sourceColumn_[x + i] - block.base;
    if (block.offset[7] > 7) {
      blocks_.clear();  // shrunk: the columns lie too far apart
      break;
    }
    blocks_.push_back(block);
  }
}

bool Letterbox::Identity() const {
  return windowWidth_ == kFrameWidth && windowHeight_ == kFrameHeight;
}

Point Letterbox::WindowToFrame(Point window) const {
  const int32_t w = picture_.right - picture_.left;
  const int32_t h = picture_.bottom - picture_.top;
  const int32_t x = FloorDiv(int64_t{window.x - picture_.left} * kFrameWidth, w);
  const int32_t y = FloorDiv(int64_t{window.y - picture_.top} * kFrameHeight, h);
  return {std::clamp(x, 0, kFrameWidth - 1), std::clamp(y, 0, kFrameHeight - 1)};
}

Point Letterbox::FrameToWindow(Point frame) const {
  const int32_t w = picture_.right - picture_.left;
  const int32_t h = picture_.bottom - picture_.top;
  return {picture_.left + FloorDiv((2 * int64_t{frame.x} + 1) * w, 2 * kFrameWidth),
          picture_.top + FloorDiv((2 * int64_t{frame.y} + 1) * h, 2 * kFrameHeight)};
}

void Letterbox::Draw(const uint32_t* frame, int framePitch, uint32_t* window,
                     int windowPitch) const {
  DrawBars(window, windowPitch);
  DrawPicture(frame, framePitch, window, windowPitch);
}

void Letterbox::DrawBars(uint32_t* window, int windowPitch) const {
  const auto row = [&](int32_t y) { return RowOf(window, windowPitch, y); };
  const size_t rowBytes = static_cast<size_t>(windowWidth_) * sizeof(uint32_t);
  for (int32_t y = 0; y < picture_.top; ++y) std::memset(row(y), 0, rowBytes);
  for (int32_t y = picture_.bottom; y < windowHeight_; ++y) std::memset(row(y), 0, rowBytes);
  const size_t leftBytes = static_cast<size_t>(picture_.left) * sizeof(uint32_t);
  const size_t rightBytes = static_cast<size_t>(windowWidth_ - picture_.right) * sizeof(uint32_t);
  for (int32_t y = picture_.top; y < picture_.bottom; ++y) {
    std::memset(row(y), 0, leftBytes);
    std::memset(row(y) + picture_.right, 0, rightBytes);
  }
}

void Letterbox::ScaleRow(const uint32_t* in, uint32_t* out) const {
  size_t x = 0;
#if defined(STARMOAT_AVX2_SCALE)
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  if (hasAvx2 && !blocks_.empty()) {
    ScaleBlocksAvx2(blocks_.data(), blocks_.size(), in, out);
    x = blocks_.size() * 8;
  }
#endif
  const int32_t* column = sourceColumn_.data();
  for (const size_t width = sourceColumn_.size(); x < width; ++x) out[x] = in[column[x]];
}

void Letterbox::DrawPicture(const uint32_t* frame, int framePitch, uint32_t* window,
                            int windowPitch) const {
  const int32_t h = picture_.bottom - picture_.top;
  const size_t pictureBytes = scaled_.size() * sizeof(uint32_t);
  // Each frame row is scaled into a row of our own, which stays in the processor's nearest
  // cache, and copied from there to the one or more window rows that show it: in the real
  // program, writing the window's memory only by memcpy measured cheaper than storing the
  // shuffle's results straight into it.
  int32_t previousSource = -1;
  for (int32_t y = 0; y < h; ++y) {
    const auto source = static_cast<int32_t>(int64_t{y} * kFrameHeight / h);
    if (source != previousSource) {
      ScaleRow(RowOf(frame, framePitch, source), scaled_.data());
      previousSource = source;
    }
    std::memcpy(RowOf(window, windowPitch, picture_.top + y) + picture_.left, scaled_.data(),
                pictureBytes);
  }
}

}  // namespace platform
