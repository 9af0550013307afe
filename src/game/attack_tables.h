// The attack tables: what each gun pattern fires and how a wave's ships are laid out.
// The behaviour that reads them is in TGunner::Fire and TEnemyEngine::SpawnWave.
#pragma once

#include <array>
#include <cstdint>

#include "audio/sound_bank.h"

// One shot of a gun pattern: offset from the muzzle point (FireX, FireY), or from the owner's
// top-left corner for the big boss guns, and the turn from the gun's angle in radians.
struct TPatternShot {
  int16_t DX;
  int16_t DY;
  double Turn;
};

struct TFirePattern {
  uint8_t ShotKind;
  uint8_t Sound;
  bool FromOwner;  // offsets count from OwnerX/OwnerY instead of FireX/FireY
  uint8_t Count;
  std::array<TPatternShot, 3> Shots;
};

// By pattern (= weapon kind). Pattern 1's third rocket turns by 6.0 rad, i.e. -0.283: a fan of
// three; pattern 14 fires the same big shell as 13.
inline constexpr std::array<TFirePattern, 15> FirePatterns{{
    {0, sfxLaser1, false, 1, {{{5, 0, 0.0}}}},
    {1, sfxRocket, false, 3, {{{20, 0, 0.0}, {20, 0, 0.3}, {20, 0, 6.0}}}},
    {2, sfxRocket, false, 1, {{{0, 0, 0.0}}}},
    {3, sfxRocket, false, 1, {{{-30, -80, 0.0}}}},
    {4, sfxRocket, false, 3, {{{0, 0, 0.0}, {0, 0, 0.5}, {0, 0, -0.5}}}},
    {5, sfxPlasma, false, 2, {{{36, 0, 0.0}, {0, 0, 0.0}}}},
    {6, sfxRocket, false, 1, {{{5, 0, 0.0}}}},
    {7, sfxPlasma, false, 1, {{{5, 0, 0.0}}}},
    {8, sfxLaser1, false, 1, {{{5, 0, 0.0}}}},
    {9, sfxPlasma, false, 1, {{{50, 0, 0.0}}}},
    {10, sfxPlasma, false, 1, {{{0, 0, 0.0}}}},
    {11, sfxPlasma, true, 1, {{{117, 225, 0.0}}}},
    {12, sfxPlasma, true, 1, {{{0, 0, 0.0}}}},
    {13, sfxPlasma, true, 1, {{{114, 280, 0.0}}}},
    {13, sfxPlasma, true, 1, {{{114, 280, 0.0}}}},
}};

// One ship of a formation: x = anchor x + Col * (width + 3); y = anchor y + Row * (height + 3),
// or 0 when AtTop (the fifth ship of formation 3 sits on the top edge, whatever the anchor).
struct TFormationShip {
  int8_t Col;
  int8_t Row;
  bool AtTop;
};

struct TFormation {
  uint8_t Count;
  std::array<TFormationShip, 5> Ships;
};

// By formation number, ships in creation order.
inline constexpr std::array<TFormation, 6> Formations{{
    {3, {{{-1, 0, false}, {1, 0, false}, {0, 0, false}}}},                    // row of three
    {3, {{{0, -1, false}, {0, 1, false}, {0, 0, false}}}},                    // column of three
    {4, {{{-1, 0, false}, {1, 0, false}, {0, -1, false}, {0, 1, false}}}},    // four around
    {5, {{{-1, -1, false}, {1, -1, false}, {-1, 1, false}, {1, 1, false}, {0, 0, true}}}},
    {3, {{{-1, -1, false}, {1, -1, false}, {0, 0, false}}}},                  // V pointing down
    {1, {{{0, 0, false}}}},                                                   // one ship
}};
