// The player's settings and the local high-score table, kept in "Config.cfg" in the working
// directory.
#pragma once

#include <array>
#include <cstdint>
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

extern TOptions Settings;
extern std::array<THiScores, kHiScoreCount> HiScores;

// Reads Config.cfg (creating it when missing) and puts the settings into effect.
void LoadConfig();
// Writes Config.cfg.
void SaveConfig();
// Display pass of the window, sound switch, country into its text box.
void ApplyOptions();
// The default table: "Anonymous" with 1000, 900, ..., 100.
void ResetHiScores();
// Initial values of Settings and HiScores, before any file is read.
void ResetConfigState();
