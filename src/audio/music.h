// Background music: one tracker module at a time, "sound\1.xm" on the menus and "sound\2.xm"
// in the game.
#pragma once

#include <string>

// Frees the current module, loads "sound\<name>" and plays it from the beginning.
void PlaySong(const std::string& name, bool fromResource = false);
// Frees the current module; silence.
void StopMusic();
// Called once per frame by the frame loop, before the frame is drawn.
void MusicWatch();
