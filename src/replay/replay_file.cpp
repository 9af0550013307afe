#include "replay/replay_file.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#ifndef STARMOAT_VERSION
#error "the build defines STARMOAT_VERSION"
#endif

namespace {

constexpr char kMagic[4] = {'S', 'M', 'R', 'P'};

void PutU8(std::string& out, uint8_t v) { out.push_back(static_cast<char>(v)); }
void PutU16(std::string& out, uint16_t v) {
  for (int i = 0; i < 2; ++i) PutU8(out, static_cast<uint8_t>(v >> (8 * i)));
}
void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) PutU8(out, static_cast<uint8_t>(v >> (8 * i)));
}
void PutU64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) PutU8(out, static_cast<uint8_t>(v >> (8 * i)));
}
void PutVarint(std::string& out, uint32_t v) {
  while (v >= 0x80) {
    PutU8(out, static_cast<uint8_t>(v | 0x80));
    v >>= 7;
  }
  PutU8(out, static_cast<uint8_t>(v));
}
void PutText(std::string& out, const std::string& text) {
  const size_t n = std::min(text.size(), kMaxReplayTextLength);
  PutU8(out, static_cast<uint8_t>(n));
  out.append(text, 0, n);
}

uint32_t Crc(const uint8_t* data, size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes at most uInt bytes a call.
  while (size > 0) {
    const uInt chunk = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
    crc = crc32(crc, data, chunk);
    data += chunk;
    size -= chunk;
  }
  return static_cast<uint32_t>(crc);
}

// Reads fields from the bytes present; any read past the end fails and stays failed.
class TReader {
 public:
  TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Bytes(void* out, size_t n) {
    if (!ok_ || n > size_ - pos_) return ok_ = false;
    std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
  }
  uint64_t Uint(int bytes) {
    uint8_t b[8] = {};
    if (!Bytes(b, static_cast<size_t>(bytes))) return 0;
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[i];
    return v;
  }
  bool Text(std::string& out, size_t minLength) {
    const size_t n = static_cast<size_t>(Uint(1));
    if (!ok_ || n < minLength || n > kMaxReplayTextLength) return ok_ = false;
    out.assign(n, '\0');
    return Bytes(out.data(), n);
  }
  bool Varint(uint32_t& out) {
    uint64_t v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      const uint64_t b = Uint(1);
      if (!ok_) return false;
      v |= (b & 0x7F) << shift;
      if (!(b & 0x80)) {
        if (v > UINT32_MAX) return ok_ = false;
        out = static_cast<uint32_t>(v);
        return true;
      }
    }
    return ok_ = false;  // more than five bytes
  }
  size_t Position() const { return pos_; }
  size_t Left() const { return size_ - pos_; }
  bool Ok() const { return ok_; }
  const uint8_t* Here() const { return data_ + pos_; }
  void Skip(size_t n) {
    if (n > Left()) ok_ = false;
    else pos_ += n;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

TReplayRead Fail(const std::string& why) {
  TReplayRead result;
  result.Error = why;
  return result;
}

}  // namespace

const char* ReplayGameVersion() { return STARMOAT_VERSION; }

std::string EncodeReplay(const TReplay& replay) {
  const size_t frames = std::min<size_t>(replay.Frames.size(), kMaxReplayFrames);
  std::string raw;
  raw.reserve(frames * 3);
  uint32_t previous = replay.StartTick;
  for (size_t i = 0; i < frames; ++i) {
    PutVarint(raw, replay.Frames[i].Tick - previous);
    previous = replay.Frames[i].Tick;
  }
  for (size_t i = 0; i < frames; ++i) PutU16(raw, replay.Frames[i].Controls);
  for (size_t i = 0; i < frames / kReplayCheckInterval; ++i) {
    PutU32(raw, i < replay.Checks.size() ? replay.Checks[i] : 0);
  }

  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
            reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 9);
  packed.resize(packedSize);

  std::string out(kMagic, sizeof kMagic);
  PutU16(out, kReplayFormatVersion);
  PutText(out, replay.GameVersion);
  PutU32(out, replay.Seed);
  PutU32(out, replay.StartTick);
  PutU64(out, static_cast<uint64_t>(replay.StartTime));
  PutU32(out, static_cast<uint32_t>(replay.Score));
  PutU64(out, replay.Fingerprint);
  PutText(out, replay.Name);
  PutU32(out, static_cast<uint32_t>(frames));
  PutU32(out, static_cast<uint32_t>(raw.size()));
  PutU32(out, static_cast<uint32_t>(packed.size()));
  out += packed;
  PutU32(out, Crc(reinterpret_cast<const uint8_t*>(out.data()), out.size()));
  return out;
}

TReplayRead DecodeReplay(const void* bytes, size_t size) {
  const auto* data = static_cast<const uint8_t*>(bytes);
  if (size < sizeof kMagic + 2 || std::memcmp(data, kMagic, sizeof kMagic) != 0) {
    return Fail("not a Starmoat replay");
  }
  TReader in(data, size);
  in.Skip(sizeof kMagic);
  const uint16_t format = static_cast<uint16_t>(in.Uint(2));
  if (format != kReplayFormatVersion) {
    return Fail("replay format " + std::to_string(format) + ", this program reads format " +
                std::to_string(kReplayFormatVersion));
  }
  if (size < in.Position() + 4) return Fail("the replay is cut short");
  uint32_t storedCrc = 0;
  for (int i = 3; i >= 0; --i) storedCrc = storedCrc << 8 | data[size - 4 + static_cast<size_t>(i)];
  if (Crc(data, size - 4) != storedCrc) return Fail("the replay is damaged (checksum mismatch)");

  TReader body(data, size - 4);
  body.Skip(in.Position());
  TReplayRead result;
  TReplay& r = result.Replay;
  body.Text(r.GameVersion, 1);
  r.Seed = static_cast<uint32_t>(body.Uint(4));
  r.StartTick = static_cast<uint32_t>(body.Uint(4));
  r.StartTime = static_cast<int64_t>(body.Uint(8));
  r.Score = static_cast<int32_t>(static_cast<uint32_t>(body.Uint(4)));
  r.Fingerprint = body.Uint(8);
  body.Text(r.Name, 0);
  const uint32_t frames = static_cast<uint32_t>(body.Uint(4));
  const uint32_t rawSize = static_cast<uint32_t>(body.Uint(4));
  const uint32_t packedSize = static_cast<uint32_t>(body.Uint(4));
  if (!body.Ok()) return Fail("the replay's header is cut short");
  if (frames == 0 || frames > kMaxReplayFrames) {
    return Fail("the replay holds " + std::to_string(frames) + " frames");
  }
  // Each frame takes one to five bytes of tick and two of controls; a check four.
  const uint64_t checks = frames / kReplayCheckInterval;
  if (rawSize < 3ull * frames + 4 * checks || rawSize > 7ull * frames + 4 * checks) {
    return Fail("the replay's input stream has an impossible size");
  }
  if (packedSize != body.Left()) return Fail("the replay's input stream is cut short or followed by junk");

  std::string raw(rawSize, '\0');
  uLongf unpacked = rawSize;
  if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &unpacked, body.Here(), packedSize) != Z_OK ||
      unpacked != rawSize) {
    return Fail("the replay's input stream cannot be unpacked");
  }

  TReader stream(reinterpret_cast<const uint8_t*>(raw.data()), raw.size());
  r.Frames.resize(frames);
  uint32_t tick = r.StartTick;
  for (TFrameInput& frame : r.Frames) {
    uint32_t advance = 0;
    if (!stream.Varint(advance)) return Fail("the replay's input stream is damaged");
    tick += advance;
    frame.Tick = tick;
  }
  if (stream.Left() != 2ull * frames + 4 * checks) return Fail("the replay's input stream is damaged");
  for (TFrameInput& frame : r.Frames) {
    frame.Controls = static_cast<uint16_t>(stream.Uint(2));
    if (frame.Controls & ~kAllControls) return Fail("the replay's input stream is damaged");
  }
  r.Checks.resize(checks);
  for (uint32_t& check : r.Checks) check = static_cast<uint32_t>(stream.Uint(4));
  result.Ok = true;
  return result;
}

TReplayRead LoadReplayFile(const std::string& path) {
  constexpr std::streamoff kMaxFile = 4 << 20;
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail("cannot be opened");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return Fail("cannot be read");
  if (size > kMaxFile) return Fail("is too large to be a replay");
  in.seekg(0);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!in.read(bytes.data(), size)) return Fail("cannot be read");
  TReplayRead read = DecodeReplay(bytes.data(), bytes.size());
  if (read.Ok) {
    if (std::string why = CheckReplayVersion(read.Replay); !why.empty()) return Fail(why);
  }
  return read;
}

std::string CheckReplayVersion(const TReplay& replay) {
  if (replay.GameVersion == ReplayGameVersion()) return {};
  return "the replay was recorded by Starmoat " + replay.GameVersion + ", this is Starmoat " +
         ReplayGameVersion();
}
