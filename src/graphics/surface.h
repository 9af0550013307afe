// An off-screen picture: 32-bit 0x00RRGGBB pixels with an optional source colour key.
//
// Every picture of the program lives in one of these: the back buffer the frame is composed
// in, the snapshot of a frozen frame, and every sprite from the pack. Surfaces live in memory
// and are never lost.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace gfx {

using platform::Rect;

// Copy modes of BltFast.
enum BltMode : uint32_t {
  kBltWait = 16,              // opaque copy
  kBltWaitSrcKey = 17,        // pixels equal to the source's colour key are skipped
  kBltNoWait = 32,            // opaque copy
  kBltNoWaitSrcKey = 33,      // colour-keyed copy
};

class TSurface {
 public:
  TSurface(int32_t width, int32_t height);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // Bytes per row.
  int32_t Pitch() const { return width_ * 4; }
  uint32_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* Row(int32_t y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  uint32_t* Pixels() { return pixels_.data(); }
  const uint32_t* Pixels() const { return pixels_.data(); }
  uint32_t GetPixel(int32_t x, int32_t y) const { return Row(y)[x]; }
  void SetPixel(int32_t x, int32_t y, uint32_t rgb) { Row(y)[x] = rgb & 0xFFFFFF; }

  void SetColorKey(uint32_t rgb) { colorKey_ = rgb & 0xFFFFFF; }
  void ClearColorKey() { colorKey_.reset(); }
  std::optional<uint32_t> ColorKey() const { return colorKey_; }

  // Fills the whole surface (or a rectangle, clipped to the surface) with one colour.
  // Returns 0 (the fill of an in-memory surface cannot fail).
  int32_t Fill(uint32_t rgb);
  void FillRect(const Rect& r, uint32_t rgb);

  // Copies srcRect of src (null: the whole of src) to (x, y). Modes with a source key skip
  // the pixels equal to src's colour key. The rectangle is clipped against both surfaces; an
  // empty or inverted rectangle copies nothing. Returns 0, or -1 when nothing was copied
  // because the rectangle was empty.
  int32_t BltFast(int32_t x, int32_t y, const TSurface& src, const Rect* srcRect, uint32_t mode);

 private:
  int32_t width_;
  int32_t height_;
  std::vector<uint32_t> pixels_;
  std::optional<uint32_t> colorKey_;
};

}  // namespace gfx
