// The replay file: everything one game read from the outside world, so that it can be played
// again exactly (a picture in the window, or headless to check its score).
//
// Layout, little-endian:
//   "SMRP"  format version u16 (1)
//   game version: length u8 (1..32), ASCII
//   seed u32, start tick u32, start time i64 (Unix seconds, when the game began), score i32,
//   final fingerprint u64
//   name: length u8 (0..32, 0: none given), bytes
//   frames u32 (1..kMaxReplayFrames), raw size u32, packed size u32, packed bytes
//   CRC-32 u32 of every byte before it
// The packed bytes are zlib's deflate of the raw stream: first each frame's tick advance as a
// LEB128 varint (the first from the start tick), then each frame's controls as u16, then one
// check u32 for every kFingerprintInterval (64) frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/frame_input.h"

inline constexpr uint16_t kReplayFormatVersion = 1;
// Three hours of frames at 64 a second: far beyond any game, and a bound on the work a
// hostile file can ask for.
inline constexpr uint32_t kMaxReplayFrames = 64u * 60u * 60u * 3u;
inline constexpr size_t kMaxReplayTextLength = 32;

struct TReplay {
  std::string GameVersion;  // the version of the program that recorded it
  uint32_t Seed = 0;
  uint32_t StartTick = 0;
  int64_t StartTime = 0;
  int32_t Score = 0;        // the score the game ended with, as recorded
  uint64_t Fingerprint = 0; // GameFingerprint of the game's last state, as recorded
  std::string Name;         // the name entered for the high-score table, or empty
  std::vector<TFrameInput> Frames;  // one per stepped frame, ticks absolute
  // The low 32 bits of GameFingerprint after every 64th frame, as recorded: a replay whose
  // game strays from the recorded one anywhere is caught at the next check. Frames / 64 of
  // them are written; missing ones are written as 0 (and will not verify).
  std::vector<uint32_t> Checks;
};

// Frames between two checks (replay/fingerprint.h takes its fingerprints as often).
inline constexpr uint32_t kReplayCheckInterval = 64;

// The file's bytes. Texts longer than kMaxReplayTextLength are cut; at most kMaxReplayFrames
// frames (a longer game keeps its first ones).
std::string EncodeReplay(const TReplay& replay);

struct TReplayRead {
  bool Ok = false;
  std::string Error;  // one line: what is wrong with the file, when !Ok
  TReplay Replay;
};

// Reads a replay file's bytes. Never trusts a size or count in it: everything is checked
// against the bytes present and the limits above before it is used. Does not compare the
// game version (see CheckReplayVersion).
TReplayRead DecodeReplay(const void* data, size_t size);

// Reads and decodes the file at `path` (at most 4 MiB), and refuses another game version.
TReplayRead LoadReplayFile(const std::string& path);

// Empty when `replay` was recorded by this program's version, else the one-line reason.
std::string CheckReplayVersion(const TReplay& replay);
// This program's version, as replays record it.
const char* ReplayGameVersion();
