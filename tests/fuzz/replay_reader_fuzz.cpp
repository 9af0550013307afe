// The replay reader under hostile input. Built two ways: with clang's libFuzzer for long runs
// (tools/fuzz_replay.sh), and with any compiler behind replay_reader_corpus.cpp, which feeds it
// a fixed set of damaged replays as an ordinary test.
//
// The first byte chooses how the rest is taken: odd, the last four bytes are replaced by the
// right checksum first, so that mutations get past the checksum into the header and the input
// stream. Replays that read are played, at most 64 frames, so each input stays cheap.
#include <cstddef>
#include <cstdint>
#include <string>

#include <zlib.h>

#include "replay/replay_check.h"
#include "replay/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool fixChecksum = data[0] & 1;
  std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  if (fixChecksum && bytes.size() >= 4) {
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()),
                            static_cast<uInt>(bytes.size() - 4));
    for (size_t i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
  }
  const TReplayRead read = DecodeReplay(bytes.data(), bytes.size());
  if (read.Ok) {
    // What was read must be what a writer writes again.
    const std::string again = EncodeReplay(read.Replay);
    const TReplayRead reread = DecodeReplay(again.data(), again.size());
    if (!reread.Ok || reread.Replay.Frames.size() != read.Replay.Frames.size()) __builtin_trap();
  }
  TReplayLimits limits;
  limits.MaxFrames = 64;
  const TReplayVerdict verdict = VerifyReplay(bytes.data(), bytes.size(), limits);
  if (verdict.Ok && !read.Ok) __builtin_trap();
  return 0;
}
