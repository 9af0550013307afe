// Where the menu widgets sit on the 800 x 600 back buffer and which ScreenImages slot holds
// each highlight picture. The options page draws its row labels and boxes against the same
// rectangles.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace layout {

using platform::Rect;

struct ButtonPlace {
  Rect rect;
  uint8_t image;  // ScreenImages slot of the highlight picture
};

// Play, Options, High scores, Help, More games, Exit.
inline constexpr std::array<ButtonPlace, 6> kMainMenu{{
    {{470, 337, 786, 375}, 1},
    {{470, 376, 786, 413}, 2},
    {{470, 415, 786, 451}, 3},
    {{470, 452, 786, 491}, 4},
    {{470, 492, 786, 532}, 5},
    {{470, 533, 786, 573}, 6},
}};

// Clear the table, world table, back.
inline constexpr std::array<ButtonPlace, 3> kHighScore{{
    {{43, 133, 230, 208}, 11},
    {{44, 203, 229, 279}, 12},
    {{114, 453, 230, 504}, 14},
}};

// Previous page, next page, back.
inline constexpr std::array<ButtonPlace, 3> kHelp{{
    {{434, 523, 550, 574}, 15},
    {{544, 523, 660, 574}, 16},
    {{653, 523, 769, 574}, 14},
}};

// Option rows 0..5: Display, Music, Sound, the country box, Boss key, back.
inline constexpr int kOptionRowCount = 6;
inline constexpr int kCountryRow = 3;
inline constexpr int kBackRow = 5;
inline constexpr std::array<Rect, kOptionRowCount> kOptionRows{{
    {295, 226, 437, 256},
    {322, 287, 390, 317},
    {322, 347, 390, 377},
    {305, 409, 677, 450},
    {305, 473, 491, 509},
    {614, 533, 730, 584},
}};
// Highlight pictures of the five button rows (0, 1, 2, 4, 5).
inline constexpr std::array<uint8_t, 5> kOptionButtonImages{36, 35, 35, 38, 14};

inline constexpr Rect kYes{280, 340, 352, 380};
inline constexpr Rect kNo{460, 340, 510, 380};
inline constexpr Rect kOk{280, 340, 330, 380};
inline constexpr Rect kCancel{420, 340, 540, 380};

inline constexpr Rect kNameBox{236, 280, 564, 314};

}  // namespace layout
