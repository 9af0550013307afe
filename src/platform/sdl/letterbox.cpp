#include "platform/sdl/letterbox.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

int32_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int32_t>(q);
}

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
  for (int32_t x = 0; x < w; ++x) {
    sourceColumn_[static_cast<size_t>(x)] = static_cast<int32_t>(int64_t{x} * kFrameWidth / w);
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
  const auto row = [&](int32_t y) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(window) +
                                       static_cast<ptrdiff_t>(y) * windowPitch);
  };
  const size_t rowBytes = static_cast<size_t>(windowWidth_) * sizeof(uint32_t);
  for (int32_t y = 0; y < picture_.top; ++y) std::memset(row(y), 0, rowBytes);
  for (int32_t y = picture_.bottom; y < windowHeight_; ++y) std::memset(row(y), 0, rowBytes);
  const int32_t h = picture_.bottom - picture_.top;
  const size_t leftBytes = static_cast<size_t>(picture_.left) * sizeof(uint32_t);
  const size_t rightBytes = static_cast<size_t>(windowWidth_ - picture_.right) * sizeof(uint32_t);
  int32_t previousSource = -1;
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* out = row(picture_.top + y);
    const auto source = static_cast<int32_t>(int64_t{y} * kFrameHeight / h);
    if (source == previousSource) {
      // Enlarged: this row repeats the one above.
      std::memcpy(out, row(picture_.top + y - 1), rowBytes);
      continue;
    }
    previousSource = source;
    const auto* in = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(frame) +
                                                       static_cast<ptrdiff_t>(source) * framePitch);
    std::memset(out, 0, leftBytes);
    uint32_t* picture = out + picture_.left;
    for (size_t x = 0; x < sourceColumn_.size(); ++x) picture[x] = in[sourceColumn_[x]];
    std::memset(out + picture_.right, 0, rightBytes);
  }
}

}  // namespace platform
