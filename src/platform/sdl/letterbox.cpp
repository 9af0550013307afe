#include "platform/sdl/letterbox.h"

#include <algorithm>

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

}  // namespace platform
