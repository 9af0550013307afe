// Plays a replay headless (no window, no pictures, no sounds) and says whether it is a game
// this program could have played, with its final score and the frame fingerprints. What the
// world score server links to believe a result, and what the tests use to prove that a
// recorded game plays back the same.
//
// The game world is the program's globals, so one replay is played at a time per process
// (calls are serialised); whatever game the caller had in the globals is put back afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "replay/replay_file.h"

struct TReplayLimits {
  size_t MaxBytes = 4u << 20;           // a larger file is refused unread
  uint32_t MaxFrames = kMaxReplayFrames;  // a longer game is refused unplayed
};

struct TReplayVerdict {
  bool Ok = false;
  std::string Error;     // one line, when !Ok
  int32_t Score = 0;     // the score the game reached when played back
  std::string Name;      // as recorded; empty when none was given
  uint32_t Frames = 0;   // frames played back
  // GameFingerprint after every kFingerprintInterval-th frame, then one of the final state.
  std::vector<uint64_t> Fingerprints;
};

// Plays `replay` from its seed through every frame and reports what happened. Ok when the game
// ends ("Game Over" shown to its end) on exactly the last frame with the recorded score, every
// check and the final fingerprint as recorded.
// Does not look at the game version.
TReplayVerdict PlayReplay(const TReplay& replay);

// Reads the file's bytes (never trusting them), refuses another game version, then PlayReplay.
TReplayVerdict VerifyReplay(const void* data, size_t size, const TReplayLimits& limits = {});
