#include "shell/key_name.h"

#include <array>
#include <utility>

namespace {

// Keys with a word for a name. Everything else is a printable character (49..91), a function
// key or "Bad".
constexpr std::array<std::pair<int32_t, const char*>, 20> kNamedKeys{{
    {8, "Back"},   {9, "Tab"},    {13, "Enter"}, {27, "Esc"},   {32, "Space"}, {33, "PgUp"},
    {34, "PgDn"},  {35, "End"},   {36, "Home"},  {37, "Left"},  {38, "Up"},    {39, "Right"},
    {40, "Down"},  {45, "Ins"},   {46, "Del"},   {160, "Shift"}, {161, "Shift"}, {162, "Ctrl"},
    {163, "Ctrl"}, {164, "Alt"},
}};

// The digit 0 (48) is left out of the character range on purpose: it has never been a valid
// boss key.
constexpr int32_t kFirstCharKey = 49;
constexpr int32_t kLastCharKey = 91;
constexpr int32_t kF1 = 112;
constexpr int32_t kF15 = 126;

}  // namespace

std::string KeyName(int32_t code) {
  for (const auto& [key, name] : kNamedKeys) {
    if (key == code) return name;
  }
  if (code >= kFirstCharKey && code <= kLastCharKey) return std::string(1, static_cast<char>(code));
  if (code >= kF1 && code <= kF15) return "F" + std::to_string(code - kF1 + 1);
  return "Bad";
}
