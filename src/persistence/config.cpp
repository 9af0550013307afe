#include "persistence/config.h"

#include "shell/form.h"
#include "shell/menu_commands.h"

TOptions Settings;
std::array<THiScores, kHiScoreCount> HiScores;

void ResetHiScores() {
  for (int i = 0; i < kHiScoreCount; ++i) HiScores[i] = THiScores{"Anonymous", (10 - i) * 100};
}

void ResetConfigState() {
  Settings = TOptions{};
  ResetHiScores();
}

// The settings file itself arrives with the persistence subsystem; until then the values in
// memory are put into effect as they stand.
void LoadConfig() { ApplyOptions(); }
void SaveConfig() {}

void ApplyOptions() {
  Form1->FormCreate();
  SetSound(Settings.Sound);
}
