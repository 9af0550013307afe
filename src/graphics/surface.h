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

// Selects the plain one-pixel-at-a-time fill and colour-keyed copy instead of the fast ones
// (runs of opaque pixels, memset/memcpy). Both give the same pixels; the plain ones are kept
// as the reference the tests compare the fast ones with.
void UsePlainCopies(bool plain);

// Where the pixels that are not the colour key lie in a keyed picture, row by row, worked out on
// the first keyed copy from it and again after any change of its pixels or key. A keyed copy
// then skips the transparent stretches and copies the opaque ones whole. Each TSurface keeps its
// own; the type stands outside the class so that the copy routines can take it.
struct OpaqueRuns {
  struct Run {
    int32_t begin, end;  // pixel columns, end exclusive
  };
  // Where a row's runs are, in one place: a sprite row is short, so looking it up must cost
  // next to nothing against copying it.
  struct RowRuns {
    uint32_t first;  // index of the row's first run in `runs`
    uint32_t count;
    // Rows cut into many short runs (a dithered shade) are copied by comparing each pixel
    // with the key instead; they keep no runs.
    bool fineGrained;
  };
  bool valid = false;
  bool anyFineGrained = false;
  std::vector<Run> runs;
  std::vector<RowRuns> rows;
};

class TSurface {
 public:
  TSurface(int32_t width, int32_t height);
  // A surface over pixels that someone else owns (the window's own surface): rows are
  // `width` pixels apart and the memory must outlive every use of the surface. The owner
  // reads the picture through Pixels(), which settles a clear still owed.
  static TSurface View(uint32_t* pixels, int32_t width, int32_t height);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // Bytes per row.
  int32_t Pitch() const { return width_ * 4; }
  // Writable access to the pixels: a keyed copy from this surface works the runs out again.
  // A row pointer reaches that row only (the others may still owe a clear).
  uint32_t* Row(int32_t y) {
    runs_.valid = false;
    PayClear(y);
    return At(y);
  }
  const uint32_t* Row(int32_t y) const {
    PayClear(y);
    return At(y);
  }
  uint32_t* Pixels() {
    runs_.valid = false;
    PayClears();
    return Data();
  }
  const uint32_t* Pixels() const {
    PayClears();
    return Data();
  }
  uint32_t GetPixel(int32_t x, int32_t y) const { return Row(y)[x]; }
  void SetPixel(int32_t x, int32_t y, uint32_t rgb) { Row(y)[x] = rgb & 0xFFFFFF; }
  bool IsView() const { return external_ != nullptr; }
  // A 64-bit fingerprint of the pixels: equal pictures give equal values, different ones
  // almost surely different values.
  uint64_t Hash() const;

  void SetColorKey(uint32_t rgb) {
    colorKey_ = rgb & 0xFFFFFF;
    runs_.valid = false;
  }
  void ClearColorKey() {
    colorKey_.reset();
    runs_.valid = false;
  }
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
  // A black clear of the whole surface is only noted: each row is cleared when it is first
  // read or written, except for the columns that opaque copies have covered by then. A frame
  // whose background covers the screen thus costs no clear at all.
  struct OwedClear {
    bool owed = false;
    int32_t coveredBegin = 0, coveredEnd = 0;  // columns already overwritten since the clear
  };

  uint32_t* Data() { return external_ ? external_ : pixels_.data(); }
  const uint32_t* Data() const { return external_ ? external_ : pixels_.data(); }
  // Row y as it is in memory, whether or not it still owes its clear.
  uint32_t* At(int32_t y) const {
    return const_cast<uint32_t*>(Data()) + static_cast<size_t>(y) * width_;
  }
  void OweClear();
  void PayClear(int32_t y) const {
    if (owedRows_ > 0 && owed_[static_cast<size_t>(y)].owed) PayClearOf(y);
  }
  void PayClearOf(int32_t y) const;
  void PayClears() const;
  // Columns [begin, end) of row y are about to be overwritten with opaque pixels.
  void Cover(int32_t y, int32_t begin, int32_t end);
  // Whether a keyed copy of columns [x, x + w) of row y sets every one of them.
  bool OpaqueAcross(int32_t y, int32_t x, int32_t w) const;
  const OpaqueRuns& Runs() const;
  void CopyKeyedRuns(int32_t tx, int32_t ty, const TSurface& src, int32_t sx, int32_t sy,
                     int32_t w, int32_t h);

  int32_t width_;
  int32_t height_;
  std::vector<uint32_t> pixels_;
  uint32_t* external_ = nullptr;
  std::optional<uint32_t> colorKey_;
  mutable OpaqueRuns runs_;
  mutable std::vector<OwedClear> owed_;
  mutable int32_t owedRows_ = 0;
};

}  // namespace gfx
