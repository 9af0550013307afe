// The seven sound effects as complete RIFF WAVE files, compiled into the executable by the
// asset generator (tools/packgen). The sound bank reads them at start-up.
#pragma once
#include <cstddef>
#include <cstdint>
struct EmbeddedSound { const char* name; const uint8_t* data; size_t size; };
// The seven effects in bank order: MenuClick, Hit, Laser_1, Plasma, Rocket, Skeel, NewStage.
extern const EmbeddedSound kEmbeddedSounds[7];
