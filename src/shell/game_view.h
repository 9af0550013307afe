// What the player sees and hears of the game: the painter that draws the world with the pack's
// pictures, and the sounds that go to the sound bank and the music player. Installed for the
// game by ResetProgramState; the headless verifier never links this file.
#pragma once

#include "game/game_output.h"

// Points GamePainter and GameSounds at the window's painter and sounds.
void InstallGameView();
