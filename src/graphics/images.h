// The sprite pack "Data\Data.pp" and the three image tables filled from it.
//
// The pack is a plain concatenation of records: a 4-byte little-endian length, then one
// complete BMP file of that many bytes. Records 0..59 fill SpriteImages, 60..101 ScreenImages,
// and 22..30 mirrored top to bottom fill FlippedShotImages. Anything after record 101 is ignored.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "graphics/surface.h"

namespace gfx {

inline constexpr const char* kPackPath = "Data\\Data.pp";
inline constexpr int kSpriteCount = 60;
inline constexpr int kScreenImageCount = 42;
inline constexpr int kFlippedShotCount = 9;
inline constexpr int kPackRecordCount = kSpriteCount + kScreenImageCount;
inline constexpr uint32_t kMagenta = 0xFF00FF;
inline constexpr uint32_t kBlack = 0x000000;

extern std::array<std::unique_ptr<TSurface>, kSpriteCount> SpriteImages;
extern std::array<std::unique_ptr<TSurface>, kScreenImageCount> ScreenImages;
extern std::array<std::unique_ptr<TSurface>, kFlippedShotCount> FlippedShotImages;

// A pack that cannot be read: the message names the file and the problem.
class PackError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads pack record `index` of the file (path as written, with backslashes) into a new
// surface with the magenta colour key. Throws PackError.
std::unique_ptr<TSurface> LoadPackImage(const std::string& fileName, uint8_t index);

// Fills all three tables from kPackPath in the data folder (platform/file_places.h) and
// creates the menu
// widgets the first time. Called by the window's display pass. Throws PackError, and then
// leaves the tables as they were: a pack that fails halfway never leaves them half-filled.
void LoadImages();

// Writes the top-to-bottom mirror of source into target (same size).
void FlipVertical(const TSurface& source, TSurface& target);

// Empties the three tables and frees the menu widgets (at window destruction).
void ReleaseImages();

// Empties the three tables only (the program-state reset between tests).
void ResetImages();

}  // namespace gfx
