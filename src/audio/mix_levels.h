// The balance of the mix, in hundredths of a decibel: how far the mixer turns each effect and
// the music down when it plays them. The sounds themselves use their full range (the effects
// and the tunes' instruments peak near full scale), so a quiet sound keeps its resolution; the
// volume and pan of each play come on top of these levels.
//
// Measured through the real mixer (tests/platform/sdl_mix_headroom_test.cpp): a busy minute of
// play about -17 LUFS, peaking 3 dB below full scale; each tune about -26 LUFS; the effects of a
// fight alone about 8 LU above the game's tune, clearly on top while the tune still carries
// between the shots. 8 is the middle of what keeps both: at 6 a fight's explosions start to blur
// into the music, beyond 10 the music only shows in the pauses.
#pragma once

#include <array>
#include <cstdint>

// By effect, in bank order (SoundEffect). Over the time it sounds, each effect alone comes to
// about -20 LUFS in a fight. The explosions sit 3 to 4 dB lower: several often start in the same
// frame and add up in phase. The special weapon's ten voices, started together, add up too; its
// level is for all ten.
inline constexpr std::array<int32_t, 7> kEffectMixLevels = {
    -673,   // MenuClick: as loud against the menu tune as a shot against the game's
    -1500,  // Hit
    -620,   // Laser_1
    -980,   // Plasma
    -1520,  // Rocket
    -2700,  // Skeel
    -180,   // NewStage
};

inline constexpr int32_t kMusicMixLevel = -1000;
