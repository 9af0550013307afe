// The game as the shell runs it: started from the main menu with a fresh seed, stepped once per
// frame of the game screen with the input read from the devices, recorded all the while, and
// finished into the name entry or the main menu. Or a recorded game watched again: the same
// steps fed from the replay, with nothing saved.
#pragma once

#include <cstdint>
#include <string>

#include "replay/replay_file.h"

namespace gfx {
class TSurface;
}

// The main menu's play command: hides the pointer and starts a recorded game seeded with `seed`
// at the clock's tick.
void StartGame(uint32_t seed);
// One frame of the game screen (ssPlaying): the frame's input, the game's step drawn into
// `back`, and what follows the end of the game.
void StepGame(gfx::TSurface* back);
// "Exit game?" answered Yes: the game ends (and the next frame's input says so).
void QuitGame();
// Name entry "Ok" put the finished game into the top ten under `name`: its replay is kept.
void KeepTopTenReplay(const std::string& name);

// The replay file of the game just finished, recorded under `name` (the name its result is
// sent with); empty when no game was played.
std::string FinishedGameReplay(const std::string& name);

// Starts watching `replay` (already checked to be of this version) on the game screen.
void StartWatching(TReplay replay);
// True while a replay is watched.
bool Watching();
// Esc while watching: back to the main menu at once.
void StopWatching();

// Called after every game frame is drawn, played or watched, with the number of frames the game
// has stepped and the frame's picture. For the real-window tests, which compare a game's
// pictures with its replay's; none by default.
using FrameObserver = void (*)(uint32_t frame, const gfx::TSurface& picture);
void SetFrameObserver(FrameObserver observer);

// The replay of the game being played or just finished (tests).
const TReplay& CurrentRecording();

void ResetGameSession();
