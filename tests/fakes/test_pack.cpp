#include "fakes/test_pack.h"

#include <array>
#include <atomic>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace testpack {

namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Strips: frame width x frames, frame height.
constexpr Size Strip(int w, int h, int frames) { return {w * frames, h}; }

// The sizes of the game's own pack: sprites by their frames, screen pictures by where they
// are drawn and the widget rectangles they fill.
constexpr std::array<Size, 102> kSizes = {{
    {10, 124}, {10, 124}, {512, 486}, {300, 200}, {300, 200}, {300, 200}, {300, 200}, {300, 200},
    Strip(65, 100, 10), {800, 1},
    {59, 28}, {59, 28}, {75, 102}, {57, 160}, {75, 75}, {80, 70}, {85, 110}, {80, 75}, {60, 75},
    {150, 180}, {235, 225}, {225, 280},
    Strip(26, 28, 2), Strip(15, 29, 2), Strip(26, 26, 1), Strip(60, 60, 1), Strip(25, 25, 1),
    Strip(14, 139, 4), Strip(35, 35, 8), Strip(27, 27, 1), Strip(20, 45, 1), Strip(32, 32, 8),
    Strip(75, 420, 5), Strip(35, 35, 1), Strip(235, 225, 1), Strip(50, 70, 1), Strip(15, 35, 1),
    Strip(36, 31, 8), Strip(74, 52, 8), Strip(16, 16, 16), Strip(16, 16, 16), Strip(16, 16, 16),
    Strip(64, 64, 16), Strip(64, 64, 16), Strip(64, 64, 16),
    Strip(58, 66, 8), Strip(60, 64, 8), Strip(56, 56, 8), Strip(62, 58, 8), Strip(58, 56, 8),
    Strip(56, 58, 8), Strip(56, 58, 8), Strip(70, 68, 8), Strip(58, 60, 8),
    {8, 8},                                           // 54 unused
    {54, 26}, {54, 26}, {54, 26}, {54, 36}, {54, 26},  // 55..59 weapon icons; 58 at y 508
    // Screen pictures (records 60..101).
    {800, 600},                                                      // 0 menu background
    {316, 38}, {316, 37}, {316, 36}, {316, 39}, {316, 40}, {316, 40},  // 1..6 main buttons lit
    {20, 14},                                                        // 7 level marker
    {364, 36},                                                       // 8 text box
    {178, 30},                                                       // 9 boss key box
    {510, 36},                                                       // 10 table row
    {187, 75}, {185, 76},                                            // 11, 12 score buttons lit
    {8, 8},                                                          // 13 unused
    {116, 51}, {116, 51}, {116, 51},                                 // 14 back lit; 15, 16
    {132, 24}, {58, 22},                                             // 17 display, 18 on/off
    {420, 200},                                                      // 19 dialog panel
    {660, 24}, {800, 600}, {148, 563},                               // 20..22 heads-up
    {102, 37}, {102, 37},                                            // 23, 24 help buttons
    {8, 8}, {8, 8}, {8, 8}, {8, 8},                                  // 25..28 unused
    {250, 138}, {412, 76}, {334, 256},                               // 29 logo, 30, 31
    {173, 61}, {173, 62}, {102, 37},                                 // 32, 33, 34
    {68, 30}, {142, 30}, {372, 41}, {186, 36},                       // 35..38 lit boxes
    {60, 48}, {60, 48},                                              // 39, 40 specials
    {120, 120},                                                      // 41 about picture
}};

}  // namespace

std::vector<uint8_t> MakeBmp24(int w, int h, const std::function<uint32_t(int x, int y)>& rgb) {
  const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  const size_t dataOffset = 14 + 40;
  std::vector<uint8_t> out(dataOffset + rowBytes * h, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, dataOffset);
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<uint32_t>(w));
  Put32(out, 22, static_cast<uint32_t>(h));
  Put16(out, 26, 1);   // planes
  Put16(out, 28, 24);  // bits per pixel
  Put32(out, 34, static_cast<uint32_t>(rowBytes * h));
  for (int y = 0; y < h; ++y) {
    uint8_t* row = out.data() + dataOffset + rowBytes * (h - 1 - y);
    for (int x = 0; x < w; ++x) {
      const uint32_t c = rgb(x, y);
      row[3 * x] = static_cast<uint8_t>(c);
      row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
    }
  }
  return out;
}

void WritePack(const std::filesystem::path& path, const std::vector<std::vector<uint8_t>>& records) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const auto& record : records) {
    std::array<uint8_t, 4> length{};
    for (int i = 0; i < 4; ++i) length[i] = static_cast<uint8_t>(record.size() >> (8 * i));
    out.write(reinterpret_cast<const char*>(length.data()), 4);
    out.write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
  }
  if (!out) throw std::runtime_error("cannot write test pack " + path.string());
}

Size TestPackSize(int record) { return kSizes.at(static_cast<size_t>(record)); }

uint32_t TestPackPixel(int record, int x, int y) {
  return static_cast<uint32_t>((2 * record) & 0xFF) << 16 | static_cast<uint32_t>(y & 0xFF) << 8 |
         static_cast<uint32_t>(x & 0xFF);
}

std::vector<std::vector<uint8_t>> TestPackRecords() {
  std::vector<std::vector<uint8_t>> records;
  records.reserve(kSizes.size());
  for (int i = 0; i < static_cast<int>(kSizes.size()); ++i) {
    records.push_back(MakeBmp24(kSizes[i].w, kSizes[i].h,
                                [i](int x, int y) { return TestPackPixel(i, x, y); }));
  }
  return records;
}

void WriteTestPack(const std::filesystem::path& dir) {
  WritePack(dir / "Data" / "Data.pp", TestPackRecords());
}

std::filesystem::path MakeTempDir(const std::string& tag) {
  static std::atomic<int> counter{0};
  const auto dir = std::filesystem::temp_directory_path() /
                   ("starmoat_" + tag + "_" + std::to_string(::getpid()) + "_" +
                    std::to_string(counter++));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

ScopedCurrentDir::ScopedCurrentDir(const std::filesystem::path& dir)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(dir);
}

ScopedCurrentDir::~ScopedCurrentDir() { std::filesystem::current_path(previous_); }

}  // namespace testpack
