// Small rules every game-world class shares: the tick count and its elapsed-time test,
// rounding, rectangles and the fixed object tables.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

#include "game/frame_input.h"
#include "platform/platform.h"

// The tick count of the frame being stepped, in milliseconds (64 Hz steps, wraps at 2^32): one
// value for the whole frame, read from the frame's input and never from the system clock.
inline uint32_t GetTickCount() { return FrameInput.Tick; }

// The one elapsed-time test of the game world: strictly more than `limit` ms have passed since
// `since`, measured as an unsigned 32-bit difference so that the wrap-around is harmless.
inline bool TickPassed(uint32_t now, uint32_t since, uint32_t limit) {
  return static_cast<uint32_t>(now - since) > limit;
}

// Nearest integer, halves to even.
inline int32_t RoundHalfEven(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

// Rectangle from left, top, width and height; right and bottom are exclusive.
inline platform::Rect Bounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  return {left, top, left + width, top + height};
}

// The intersection of a and b in `out`; false (and an all-zero `out`) when they do not
// overlap, so touching rectangles do not collide.
inline bool IntersectRect(platform::Rect& out, const platform::Rect& a, const platform::Rect& b) {
  out = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (out.left >= out.right || out.top >= out.bottom) {
    out = {};
    return false;
  }
  return true;
}

inline bool Intersects(const platform::Rect& a, const platform::Rect& b) {
  platform::Rect unused;
  return IntersectRect(unused, a, b);
}

inline constexpr uint8_t kNoSlot = 255;

// The lowest empty slot of a fixed object table, or kNoSlot when every slot is taken.
template <class T, size_t N>
uint8_t LowestFreeSlot(const std::array<std::unique_ptr<T>, N>& table) {
  for (size_t i = 0; i < N; ++i) {
    if (!table[i]) return static_cast<uint8_t>(i);
  }
  return kNoSlot;
}
