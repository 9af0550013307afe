// Kind tables of the game world: sizes, hit points, speeds, damage and intervals, by kind.
// The behaviour that reads them lives with each class.
#pragma once

#include <array>
#include <cstdint>

struct TKindSize {
  int16_t Width;
  int16_t Height;
};

// ---- Player ship, bonuses, explosions, background layers ----

// The player ship's frame; also the collision box whatever the tilt.
inline constexpr TKindSize ShipSize{65, 100};

// Bonus kind k: sprite A(45 + k), a strip of 8 frames of this size.
inline constexpr std::array<TKindSize, 9> BonusSizes{{
    {58, 66}, {60, 64}, {56, 56}, {62, 58}, {58, 56}, {56, 58}, {56, 58}, {70, 68}, {58, 60}}};
inline constexpr int kBonusFrames = 8;

// Explosion kind k: sprite A(39 + k), a strip of 16 square frames of this side.
inline constexpr std::array<int16_t, 6> HitSizes{16, 16, 16, 64, 64, 64};
inline constexpr int kHitFrames = 16;

// Background layer kind k: its tile A(k) has this size. Other kinds keep the size given at
// creation.
inline constexpr std::array<TKindSize, 8> BackgroundTileSizes{{
    {400, 300}, {800, 200}, {512, 486}, {300, 200}, {300, 200}, {300, 200}, {300, 200},
    {300, 200}}};

// ---- Enemy ships, asteroids, bosses, guns and shots ----

// Enemy kind k: sprite A(10 + k); its gun fires weapon kind k; destroying it scores its
// starting hit points.
inline constexpr std::array<TKindSize, 9> EnemySizes{{
    {59, 28}, {59, 28}, {75, 102}, {57, 160}, {75, 75}, {80, 70}, {85, 110}, {80, 75}, {60, 75}}};
inline constexpr std::array<int32_t, 9> EnemyHitPoints{10, 20, 30, 30, 50, 50, 50, 50, 30};

// Asteroid kind k: sprite A(37 + k), a strip of 8 frames.
inline constexpr std::array<TKindSize, 2> AsteroidSizes{{{36, 31}, {74, 52}}};

// Boss kind k: sprite A(19 + k); weapon kind BossGunKinds[k], alternate BossGunKinds[k] + 1.
inline constexpr std::array<TKindSize, 3> BossSizes{{{150, 180}, {235, 225}, {225, 280}}};
inline constexpr std::array<int32_t, 3> BossHitPoints{1000, 2000, 3000};
inline constexpr std::array<uint8_t, 3> BossGunKinds{9, 11, 13};

// Shot kind k: sprite A(22 + k) (the player's kinds 0..8 mirrored in FlippedShotImages[k]).
inline constexpr std::array<TKindSize, 15> ShotSizes{{
    {26, 28}, {15, 29}, {26, 26}, {60, 60}, {25, 25}, {14, 139}, {35, 35}, {27, 27}, {20, 45},
    {32, 32}, {75, 420}, {35, 35}, {235, 225}, {50, 70}, {15, 35}}};
inline constexpr std::array<uint8_t, 15> ShotFrames{2, 2, 1, 1, 1, 4, 8, 1, 1, 8, 5, 1, 1, 1, 1};
inline constexpr std::array<int16_t, 15> ShotSpeeds{10, 10, 5, 12, 10, 10, 10, 10, 15, 10, 10,
                                                    10, 10, 10, 10};
inline constexpr std::array<int16_t, 15> ShotDamage{10, 20, 50, 40, 50, 40, 70, 60, 90, 60, 60,
                                                    60, 60, 60, 60};
// Milliseconds between firings by weapon kind. Kind 14 (the second weapon of the third boss)
// fires like its siblings 9..13.
inline constexpr std::array<uint32_t, 15> FireIntervals{400, 500, 700, 300, 500, 300, 300, 200,
                                                        150, 300, 300, 300, 300, 300, 300};
