// Where the 800 x 600 picture sits in a window of another size: scaled to fit with its aspect
// kept, centred, black bars on the two remaining sides. Pure arithmetic, no SDL.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace platform {

class Letterbox {
 public:
  static constexpr int32_t kFrameWidth = 800;
  static constexpr int32_t kFrameHeight = 600;

  // Eight neighbouring picture columns show frame columns `base + offset[i]`. Enlarged, they
  // come from at most eight neighbouring frame columns, so one load and one shuffle of the
  // processor make all eight.
  struct Block {
    int32_t base;
    int32_t offset[8];
  };

  // windowWidth, windowHeight: the window's drawable size in pixels.
  Letterbox(int32_t windowWidth, int32_t windowHeight);

  // The picture's rectangle in window pixels (right and bottom exclusive).
  Rect Picture() const { return picture_; }
  // Whether this is the letterbox of a window of that size.
  bool Fits(int32_t windowWidth, int32_t windowHeight) const {
    return windowWidth == windowWidth_ && windowHeight == windowHeight_;
  }
  // True when the picture fills the window one to one (no scaling, no bars).
  bool Identity() const;
  // A window pixel as a point of the 800 x 600 frame, clamped to the frame (the pointer over
  // a bar counts as the nearest edge, as on a screen of the frame's own size).
  Point WindowToFrame(Point window) const;
  // The window pixel showing the centre of a frame pixel.
  Point FrameToWindow(Point frame) const;
  // Draws the frame (800 x 600, pitches in bytes) into a window-sized buffer of the same
  // pixel format: nearest-neighbour scaling into the picture, black bars around it.
  void Draw(const uint32_t* frame, int framePitch, uint32_t* window, int windowPitch) const;
  // The two halves of Draw: the bars stay black from one frame to the next, so a window
  // buffer that keeps its contents needs them once.
  void DrawBars(uint32_t* window, int windowPitch) const;
  void DrawPicture(const uint32_t* frame, int framePitch, uint32_t* window, int windowPitch) const;

 private:
  void ScaleRow(const uint32_t* in, uint32_t* out) const;

  int32_t windowWidth_, windowHeight_;
  Rect picture_;
  std::vector<int32_t> sourceColumn_;  // frame column shown in each picture column
  std::vector<Block> blocks_;          // the whole blocks of the picture's columns; none when shrunk
  // The picture row being drawn (scratch space: DrawPicture changes nothing else).
  mutable std::vector<uint32_t> scaled_;
};

}  // namespace platform
