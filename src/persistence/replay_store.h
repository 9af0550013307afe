// The replays kept on this computer: the folder `replays` beside Config.cfg holds the last game
// (last.smr) and every game that entered the top ten (named by its date and score). Saved as
// Config.cfg is: atomically, and never over a file this program cannot read as a replay.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

inline constexpr const char* kLastReplayName = "last.smr";

// "YYYYMMDD-HHMMSS-<score>.smr" in local time, e.g. "20261211-031502-15230.smr".
std::string TopTenReplayName(std::time_t when, int32_t score);

// Writes the replay's bytes as replays/<fileName>, making the folder when needed. False (and a
// line on stderr) when it could not: the game goes on either way.
bool SaveReplay(const std::string& fileName, const std::string& bytes);

// Where replays/<fileName> is.
std::string ReplayPath(const std::string& fileName);
