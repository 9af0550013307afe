// Small sprite packs for tests: BMP files made in memory, packs written record by record, and
// a complete 102-record pack with the picture sizes of the game's own pack.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testpack {

// A bottom-up 24-bit BMP file of w x h pixels; rgb(x, y) gives 0xRRGGBB, y counted from the top.
std::vector<uint8_t> MakeBmp24(int w, int h, const std::function<uint32_t(int x, int y)>& rgb);

// Writes the records as a pack: per record a 4-byte little-endian length, then the bytes.
// Creates the parent folders.
void WritePack(const std::filesystem::path& path, const std::vector<std::vector<uint8_t>>& records);

struct Size {
  int w, h;
};
// Picture size of pack record i (0..101), the same in the test pack as in the game's own pack:
// sprites with their frame strips, screen pictures as large as the widgets and places they are
// drawn at.
Size TestPackSize(int record);
// Pixel (x, y) of record i in the test pack: red = 2 * record, green = y mod 256,
// blue = x mod 256. Never magenta; black only at (0, 0) of record 0.
uint32_t TestPackPixel(int record, int x, int y);

// The 102 BMP files of the test pack, to change a few before writing.
std::vector<std::vector<uint8_t>> TestPackRecords();
// Writes the full test pack to <dir>/Data/Data.pp.
void WriteTestPack(const std::filesystem::path& dir);

// A fresh empty folder under the system's temporary folder.
std::filesystem::path MakeTempDir(const std::string& tag);

// Makes `dir` the current folder for its lifetime (the pack path is relative to it).
class ScopedCurrentDir {
 public:
  explicit ScopedCurrentDir(const std::filesystem::path& dir);
  ~ScopedCurrentDir();
  ScopedCurrentDir(const ScopedCurrentDir&) = delete;
  ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

 private:
  std::filesystem::path previous_;
};

}  // namespace testpack
