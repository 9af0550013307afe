#include "graphics/images.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "graphics/bitmap_util.h"
#include "graphics/widgets.h"
#include "platform/file_places.h"

namespace gfx {

std::array<std::unique_ptr<TSurface>, kSpriteCount> SpriteImages;
std::array<std::unique_ptr<TSurface>, kScreenImageCount> ScreenImages;
std::array<std::unique_ptr<TSurface>, kFlippedShotCount> FlippedShotImages;

namespace {

// Sprite slots whose pictures use black, not magenta, as the transparent colour.
constexpr int kFirstBlackKeyed = 3;
constexpr int kLastBlackKeyed = 7;
// Sprite slots of the shot kinds that also exist mirrored.
constexpr int kFirstShotSlot = 22;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

[[noreturn]] void ReadError(const std::string& path, int record, const std::string& detail) {
  throw PackError("Stream read error: record " + std::to_string(record) + " of " + Quoted(path) +
                  " " + detail);
}

// Reads the 4-byte length that starts a record and checks it against what is left of the file,
// so that a damaged length can neither make us allocate wildly nor seek past the end.
uint32_t ReadLength(std::FILE* f, const std::string& path, int record, int64_t fileSize) {
  uint8_t b[4];
  if (std::fread(b, 1, 4, f) != 4) ReadError(path, record, "is missing (the file ends early)");
  const int32_t length = static_cast<int32_t>(static_cast<uint32_t>(b[0]) | b[1] << 8 |
                                              b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
  if (length < 0) {
    ReadError(path, record, "declares a negative length (" + std::to_string(length) + ")");
  }
  const int64_t remaining = fileSize - static_cast<int64_t>(std::ftell(f));
  if (length > remaining) {
    ReadError(path, record,
              "declares " + std::to_string(length) + " bytes but only " +
                  std::to_string(remaining) + " remain");
  }
  return static_cast<uint32_t>(length);
}

std::unique_ptr<TSurface> NewKeyedSurface(const Bitmap& bitmap) {
  auto surface = std::make_unique<TSurface>(bitmap.width, bitmap.height);
  CopyBitmapToSurface(surface.get(), &bitmap, 0, 0, 0, 0);
  SetColorKeyRGB(surface.get(), kMagenta);
  return surface;
}

}  // namespace

std::unique_ptr<TSurface> LoadPackImage(const std::string& fileName, uint8_t index) {
  const std::string path = platform::NativePath(fileName);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    throw PackError("Cannot open file " + Quoted(path) + ". " + std::strerror(EISDIR));
  }
  errno = 0;
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    const int err = errno;
    throw PackError("Cannot open file " + Quoted(path) + ". " +
                    (err ? std::strerror(err) : "Unknown error"));
  }
  std::FILE* f = file.get();
  int64_t fileSize = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) fileSize = std::ftell(f);
  if (fileSize < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
    throw PackError("Cannot read file " + Quoted(path) + ". It is not a regular file");
  }

  // There is no index: every record is found by skipping the ones before it.
  for (int record = 0; record < index; ++record) {
    const uint32_t length = ReadLength(f, path, record, fileSize);
    if (std::fseek(f, static_cast<long>(length), SEEK_CUR) != 0) {
      ReadError(path, record, "cannot be skipped");
    }
  }
  const uint32_t length = ReadLength(f, path, index, fileSize);
  std::vector<uint8_t> payload(length);
  if (length > 0 && std::fread(payload.data(), 1, length, f) != length) {
    ReadError(path, index, "is shorter than its declared length");
  }

  Bitmap bitmap;
  std::string why;
  if (!DecodeBmp(payload.data(), payload.size(), bitmap, why)) {
    throw PackError("Bitmap image is not valid: record " + std::to_string(index) + " of " +
                    Quoted(path) + " (" + why + ")");
  }
  return NewKeyedSurface(bitmap);
}

void LoadImages() {
  // Everything is read into fresh tables first, so that a pack that fails halfway leaves the
  // tables as they were instead of half-filled.
  decltype(SpriteImages) sprites;
  decltype(ScreenImages) screens;
  decltype(FlippedShotImages) flipped;
  const std::string pack = platform::DataPath(kPackPath);
  for (int i = 0; i < kSpriteCount; ++i) {
    sprites[i] = LoadPackImage(pack, static_cast<uint8_t>(i));
  }
  for (int i = kFirstBlackKeyed; i <= kLastBlackKeyed; ++i) SetColorKeyRGB(sprites[i].get(), kBlack);
  for (int j = 0; j < kScreenImageCount; ++j) {
    screens[j] = LoadPackImage(pack, static_cast<uint8_t>(kSpriteCount + j));
  }
  for (int k = 0; k < kFlippedShotCount; ++k) {
    flipped[k] = LoadPackImage(pack, static_cast<uint8_t>(kFirstShotSlot + k));
    FlipVertical(*sprites[kFirstShotSlot + k], *flipped[k]);
  }
  SpriteImages = std::move(sprites);
  ScreenImages = std::move(screens);
  FlippedShotImages = std::move(flipped);
  CreateWidgets();
}

void FlipVertical(const TSurface& source, TSurface& target) {
  // Both come from the same pack record and have one size; a mismatch copies the common part.
  const int32_t w = std::min(source.Width(), target.Width());
  const int32_t h = std::min(source.Height(), target.Height());
  for (int32_t r = 0; r < h; ++r) {
    std::memcpy(target.Row(r), source.Row(h - 1 - r), static_cast<size_t>(w) * sizeof(uint32_t));
  }
}

void ResetImages() {
  for (auto& s : SpriteImages) s.reset();
  for (auto& s : ScreenImages) s.reset();
  for (auto& s : FlippedShotImages) s.reset();
}

void ReleaseImages() {
  ResetImages();
  FreeWidgets();
}

}  // namespace gfx
