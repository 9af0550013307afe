// A hash of the whole game state (every object of the world, the counters and the random
// generator), taken every kFingerprintInterval frames: two runs of one replay that agree on
// every fingerprint played the same game.
#pragma once

#include <cstdint>

#include "replay/replay_file.h"

class TGame;

inline constexpr uint32_t kFingerprintInterval = kReplayCheckInterval;

uint64_t GameFingerprint(const TGame& game);
