#include "pack_writer.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace packgen {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

std::vector<uint8_t> EncodeBmp(const Picture& picture) {
  const uint32_t rowBytes = (uint32_t(picture.width) * 3 + 3) & ~3u;  // rows pad to 4 bytes
  const uint32_t imageBytes = rowBytes * uint32_t(picture.height);
  const uint32_t headerBytes = 14 + 40;
  std::vector<uint8_t> out;
  out.reserve(headerBytes + imageBytes);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, headerBytes + imageBytes);
  PutU32(out, 0);
  PutU32(out, headerBytes);
  PutU32(out, 40);  // BITMAPINFOHEADER
  PutU32(out, uint32_t(picture.width));
  PutU32(out, uint32_t(picture.height));  // positive: bottom row first
  PutU16(out, 1);
  PutU16(out, 24);
  PutU32(out, 0);  // BI_RGB
  PutU32(out, imageBytes);
  PutU32(out, 2835);  // 72 dpi
  PutU32(out, 2835);
  PutU32(out, 0);
  PutU32(out, 0);
  for (int y = picture.height - 1; y >= 0; --y) {
    size_t start = out.size();
    for (int x = 0; x < picture.width; ++x) {
      uint32_t c = picture.At(x, y);
      out.push_back(uint8_t(c));
      out.push_back(uint8_t(c >> 8));
      out.push_back(uint8_t(c >> 16));
    }
    out.resize(start + rowBytes, 0);
  }
  return out;
}

std::vector<uint8_t> EncodePack(const std::vector<Picture>& pictures) {
  std::vector<uint8_t> out;
  for (const Picture& picture : pictures) {
    std::vector<uint8_t> bmp = EncodeBmp(picture);
    PutU32(out, uint32_t(bmp.size()));
    out.insert(out.end(), bmp.begin(), bmp.end());
  }
  return out;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream file(p, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace packgen
