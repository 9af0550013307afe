#include "platform/sdl/key_codes.h"

#include <SDL_keyboard.h>
#include <SDL_keycode.h>
#include <SDL_scancode.h>
#include <gtest/gtest.h>

namespace {

TEST(KeyCodesTest, DirectInputCodesByPhysicalKey) {
  const struct {
    SDL_Scancode scancode;
    uint8_t dik;
  } cases[] = {
      {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_KP_ENTER, 0x9C},
      {SDL_SCANCODE_SPACE, 0x39},  {SDL_SCANCODE_LCTRL, 0x1D},  {SDL_SCANCODE_RCTRL, 0x9D},
      {SDL_SCANCODE_UP, 0xC8},     {SDL_SCANCODE_DOWN, 0xD0},   {SDL_SCANCODE_LEFT, 0xCB},
      {SDL_SCANCODE_RIGHT, 0xCD},  {SDL_SCANCODE_A, 0x1E},      {SDL_SCANCODE_P, 0x19},
      {SDL_SCANCODE_F5, 0x3F},     {SDL_SCANCODE_F12, 0x58},    {SDL_SCANCODE_1, 0x02},
      {SDL_SCANCODE_0, 0x0B},      {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_RALT, 0xB8},
      {SDL_SCANCODE_UNKNOWN, 0},   {SDL_SCANCODE_MUTE, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::DikFromScancode(c.scancode), c.dik) << SDL_GetScancodeName(c.scancode);
  }
  EXPECT_EQ(platform::DikFromScancode(-1), 0);
  EXPECT_EQ(platform::DikFromScancode(SDL_NUM_SCANCODES), 0);
}

TEST(KeyCodesTest, VirtualKeyCodesOfKeyPresses) {
  const struct {
    SDL_Scancode scancode;
    SDL_Keycode keycode;
    bool numLock;
    int32_t vk;
  } cases[] = {
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, true, 0x1B},
      {SDL_SCANCODE_RETURN, SDLK_RETURN, true, 0x0D},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, true, 0x0D},
      {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, true, 0x08},
      {SDL_SCANCODE_SPACE, SDLK_SPACE, true, 0x20},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, true, 0x25},
      {SDL_SCANCODE_UP, SDLK_UP, true, 0x26},
      {SDL_SCANCODE_RIGHT, SDLK_RIGHT, true, 0x27},
      {SDL_SCANCODE_DOWN, SDLK_DOWN, true, 0x28},
      {SDL_SCANCODE_F1, SDLK_F1, true, 0x70},
      {SDL_SCANCODE_F5, SDLK_F5, true, 0x74},
      {SDL_SCANCODE_F12, SDLK_F12, true, 0x7B},
      {SDL_SCANCODE_A, SDLK_a, true, 'A'},
      {SDL_SCANCODE_Z, SDLK_z, true, 'Z'},
      // Letters follow the layout: the key in the place of Q types A on a French keyboard.
      {SDL_SCANCODE_Q, SDLK_a, true, 'A'},
      // A letter key whose layout gives no Latin letter keeps the letter of its place.
      {SDL_SCANCODE_Q, 0x439, true, 'Q'},
      {SDL_SCANCODE_0, SDLK_0, true, 0x30},
      {SDL_SCANCODE_9, SDLK_9, true, 0x39},
      {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, true, 0x10},
      {SDL_SCANCODE_RCTRL, SDLK_RCTRL, true, 0x11},
      {SDL_SCANCODE_LALT, SDLK_LALT, true, 0x12},
      {SDL_SCANCODE_LGUI, SDLK_LGUI, true, 0x5B},
      {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, true, 0xBA},
      {SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET, true, 0xDB},
      {SDL_SCANCODE_KP_5, SDLK_KP_5, true, 0x65},
      {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, true, 0x6D},
      {SDL_SCANCODE_KP_8, SDLK_KP_8, false, 0x26},
      {SDL_SCANCODE_KP_5, SDLK_KP_5, false, 0x0C},
      {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, false, 0x2E},
      {SDL_SCANCODE_MUTE, SDLK_MUTE, true, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::VkFromKey(c.scancode, c.keycode, c.numLock), c.vk)
        << SDL_GetScancodeName(c.scancode) << " num lock " << c.numLock;
  }
}

TEST(KeyCodesTest, EveryLetterAndDigitKeyHasBothCodes) {
  for (int i = 0; i < 26; ++i) {
    const int scancode = SDL_SCANCODE_A + i;
    EXPECT_NE(platform::DikFromScancode(scancode), 0) << char('A' + i);
    EXPECT_EQ(platform::VkFromKey(scancode, SDLK_UNKNOWN, true), 'A' + i);
  }
  for (int i = 0; i < 10; ++i) {
    const int scancode = SDL_SCANCODE_1 + i;  // 1..9, then 0
    EXPECT_EQ(platform::DikFromScancode(scancode), 0x02 + i);
    EXPECT_EQ(platform::VkFromKey(scancode, SDLK_UNKNOWN, true), i == 9 ? '0' : '1' + i);
  }
}

}  // namespace
