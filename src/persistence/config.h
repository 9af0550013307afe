// The player's settings and the local high-score table, kept in "Config.cfg" in the settings
// folder (platform/file_places.h: the working folder unless the program runs portable or
// installed).
//
// File layout (little-endian, no header): Windowed, Music, Sound as one byte each (1 true,
// anything else false), the low byte of BossKey, Country as a stored string, then the ten
// table entries best first, each a stored Name and a 4-byte signed Score. A stored string is
// a length byte followed by that many bytes, each the complement of its character. Bytes after
// the tenth entry are ignored. The defaults make a file of 145 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>

struct TOptions {
  bool Windowed = true;
  bool Sound = true;
  bool Music = true;
  int32_t BossKey = 123;  // Windows virtual-key code, F12
  std::string Country;
};

struct THiScores {
  std::string Name;
  int32_t Score = 0;
};

inline constexpr int kHiScoreCount = 10;
inline constexpr const char* kConfigFileName = "Config.cfg";
// Where a file that ended too early is kept for the player to look at (beside the file a link
// named Config.cfg leads to, with that file's name).
inline constexpr const char* kDamagedConfigFileName = "Config.cfg.bad";
// A save writes a fresh file named this plus six random characters, then renames it over
// Config.cfg, so a save never leaves half a file. Leftovers of a crash are removed at start-up.
inline constexpr const char* kTempConfigFileName = "Config.cfg.tmp";

extern TOptions Settings;
// Best first; the default table until a file is read.
extern std::array<THiScores, kHiScoreCount> HiScores;

// The file ended before all of its fields were read.
class ConfigReadError : public std::runtime_error {
 public:
  ConfigReadError() : std::runtime_error("Stream read error") {}
};

// Start-up (first pass of FormCreate): ReadConfig, then ApplyOptions.
void LoadConfig();
// Fills Settings and HiScores from Config.cfg, writing the file from the values in memory
// first when it is missing. A file too short for its fields keeps the fields read before the
// end, the rest keep their values; the file is moved aside as Config.cfg.bad, a fresh one is
// written and the cause goes to stderr. A file that exists but cannot be read (no permission,
// not a file, a read error) leaves the initial values and turns saving off for the run, so the
// player's table is never replaced by the defaults; that is said once on stderr. Never throws
// for file problems.
void ReadConfig();
// Exit command and InsertHiScore: writes Settings (with the country box's text) and HiScores.
// A file that cannot be written is reported once per run on stderr; the values stay in memory.
// A link named Config.cfg is saved through and stays a link; a file this user may not write is
// not replaced. Returns whether the file was written.
bool SaveConfig();
// SaveConfig for a program that is never exited (a page is closed or reloaded), called often:
// writes only when the settings or the table differ from what this run last read from or
// wrote to the file. Returns whether it wrote.
bool KeepConfig();
// End of LoadConfig: the display pass of the window, the sound switch, the country box's text.
void ApplyOptions();
// The default table: "Anonymous" with 1000, 900, ..., 100. Also the clear command's action.
void ResetHiScores();

// The stored-string form. WriteCfgString writes at most 255 characters (the length must fit
// its byte); ReadCfgString throws ConfigReadError when the stream ends early.
std::string ReadCfgString(std::istream& in);
void WriteCfgString(const std::string& text, std::ostream& out);

// Initial values of Settings and HiScores, before any file is read.
void ResetConfigState();
