// The local high-score table (HiScores, in persistence/config.h): who gets in, where a new
// entry goes, and the table as the high-score page shows it.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/surface.h"

// Game over: true when the final score beats the tenth entry (strictly), which leads to the
// name entry.
bool ScoreQualifies(int32_t score);
// Exchanges entries j - 1 and j, 1 <= j <= 9.
void SwapHiScores(int j);
// Name entry "Ok": the name typed (NameEdit's text) and the game's score replace the tenth
// entry, rise above every smaller score (below equal ones: the older entry ranks first), and the
// file is written at once.
void InsertHiScore(const std::string& name, int32_t score);
// High-score page, every frame after its background and buttons: headings and ten rows.
void DrawHiScores(gfx::TSurface* target);
