#include "audio/sound_bank.h"

// The effect voices arrive with the audio subsystem.
void PlaySound(int32_t, int32_t, int32_t) {}
void PlayEffectDirect(int32_t) {}
