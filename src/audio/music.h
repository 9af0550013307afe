// Background music: one tracker module at a time, "sound\1.xm" on the menus and "sound\2.xm"
// in the game, played by the platform's module player (which repeats a module by itself).
// Whether music is wanted (Settings.Music) is the callers' test, not these functions'.
#pragma once

#include <cstdint>
#include <string>

// Handle of the module now loaded and playing; 0: none.
extern uint32_t Song;

// Start-up, the main menu's play button, the options page, focus regained, the end of the
// game-over pause: frees the current module, loads "sound\<name>" from the data folder
// and plays it from its beginning. A missing or damaged module leaves silence (Song 0).
void PlaySong(const std::string& name);
// Focus lost, the last life lost, music switched off: frees the current module; silence.
void StopMusic();
// Called once per frame by the frame loop, before the frame is drawn. The player repeats a
// module on its own, and every change of tune comes from the callers above, so the watcher
// deliberately leaves the music alone.
void MusicWatch();

// No module, as at start-up. The player that held the old handle belongs to the platform
// being replaced, so nothing is freed.
void ResetMusicState();
