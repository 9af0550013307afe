// The bank of the seven sound effects, played with a pan from the horizontal and a volume from
// the vertical screen position.
#pragma once

#include <cstdint>

enum SoundEffect : int32_t {
  sfxMenuClick = 0,
  sfxHit = 1,
  sfxLaser1 = 2,
  sfxPlasma = 3,
  sfxRocket = 4,
  sfxSkeel = 5,
  sfxNewStage = 6,
};

// Plays effect `index` for an event at screen position (x, y); nothing while sound is off.
void PlaySound(int32_t x, int32_t y, int32_t index);

// The direct plays (the menus' confirmation click, the game-over sound): the item as it stands,
// at the pan and volume of its last use; inaudible while sound is off because SetSound turned
// every item down to -10000.
void PlayEffectDirect(int32_t index);
