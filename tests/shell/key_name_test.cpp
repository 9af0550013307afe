#include "shell/key_name.h"

#include <gtest/gtest.h>

TEST(KeyNameTest, NamesByCode) {
  struct Case {
    int32_t code;
    const char* name;
  };
  const Case cases[] = {
      {8, "Back"},   {9, "Tab"},    {13, "Enter"}, {27, "Esc"},  {32, "Space"}, {33, "PgUp"},
      {34, "PgDn"},  {35, "End"},   {36, "Home"},  {37, "Left"}, {38, "Up"},    {39, "Right"},
      {40, "Down"},  {45, "Ins"},   {46, "Del"},   {49, "1"},    {57, "9"},     {58, ":"},
      {64, "@"},     {65, "A"},     {90, "Z"},     {91, "["},    {112, "F1"},   {116, "F5"},
      {123, "F12"},  {126, "F15"},  {160, "Shift"}, {161, "Shift"}, {162, "Ctrl"}, {163, "Ctrl"},
      {164, "Alt"},
      // No name: the 0 key, the numeric keypad, F16, the other Alt, codes out of range.
      {48, "Bad"},   {0, "Bad"},    {10, "Bad"},   {44, "Bad"},  {47, "Bad"},   {92, "Bad"},
      {96, "Bad"},   {105, "Bad"},  {127, "Bad"},  {165, "Bad"}, {255, "Bad"},  {-1, "Bad"},
      {1000, "Bad"},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyName(c.code), c.name) << "code " << c.code;
}
