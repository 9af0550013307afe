#include "platform/sdl/key_codes.h"

#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include <array>

namespace platform {

namespace {

struct KeyCodes {
  SDL_Scancode scancode;
  uint8_t dik;  // DirectInput key code (DIK_*)
  uint8_t vk;   // Windows virtual-key code (VK_*)
};

// Every key both tables know. Modifier keys get the generic virtual keys (Shift 0x10, Ctrl
// 0x11, Alt 0x12), as Windows reports them in key messages; the sided DirectInput codes stay.
constexpr KeyCodes kKeyCodes[] = {
    {SDL_SCANCODE_ESCAPE, 0x01, 0x1B},
    {SDL_SCANCODE_1, 0x02, 0x31}, {SDL_SCANCODE_2, 0x03, 0x32}, {SDL_SCANCODE_3, 0x04, 0x33},
    {SDL_SCANCODE_4, 0x05, 0x34}, {SDL_SCANCODE_5, 0x06, 0x35}, {SDL_SCANCODE_6, 0x07, 0x36},
    {SDL_SCANCODE_7, 0x08, 0x37}, {SDL_SCANCODE_8, 0x09, 0x38}, {SDL_SCANCODE_9, 0x0A, 0x39},
    {SDL_SCANCODE_0, 0x0B, 0x30},
    {SDL_SCANCODE_MINUS, 0x0C, 0xBD}, {SDL_SCANCODE_EQUALS, 0x0D, 0xBB},
    {SDL_SCANCODE_BACKSPACE, 0x0E, 0x08}, {SDL_SCANCODE_TAB, 0x0F, 0x09},
    {SDL_SCANCODE_Q, 0x10, 'Q'}, {SDL_SCANCODE_W, 0x11, 'W'}, {SDL_SCANCODE_E, 0x12, 'E'},
    {SDL_SCANCODE_R, 0x13, 'R'}, {SDL_SCANCODE_T, 0x14, 'T'}, {SDL_SCANCODE_Y, 0x15, 'Y'},
    {SDL_SCANCODE_U, 0x16, 'U'}, {SDL_SCANCODE_I, 0x17, 'I'}, {SDL_SCANCODE_O, 0x18, 'O'},
    {SDL_SCANCODE_P, 0x19, 'P'},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A, 0xDB}, {SDL_SCANCODE_RIGHTBRACKET, 0x1B, 0xDD},
    {SDL_SCANCODE_RETURN, 0x1C, 0x0D}, {SDL_SCANCODE_LCTRL, 0x1D, 0x11},
    {SDL_SCANCODE_A, 0x1E, 'A'}, {SDL_SCANCODE_S, 0x1F, 'S'}, {SDL_SCANCODE_D, 0x20, 'D'},
    {SDL_SCANCODE_F, 0x21, 'F'}, {SDL_SCANCODE_G, 0x22, 'G'}, {SDL_SCANCODE_H, 0x23, 'H'},
    {SDL_SCANCODE_J, 0x24, 'J'}, {SDL_SCANCODE_K, 0x25, 'K'}, {SDL_SCANCODE_L, 0x26, 'L'},
    {SDL_SCANCODE_SEMICOLON, 0x27, 0xBA}, {SDL_SCANCODE_APOSTROPHE, 0x28, 0xDE},
    {SDL_SCANCODE_GRAVE, 0x29, 0xC0}, {SDL_SCANCODE_LSHIFT, 0x2A, 0x10},
    {SDL_SCANCODE_BACKSLASH, 0x2B, 0xDC}, {SDL_SCANCODE_NONUSHASH, 0x2B, 0xDC},
    {SDL_SCANCODE_Z, 0x2C, 'Z'}, {SDL_SCANCODE_X, 0x2D, 'X'}, {SDL_SCANCODE_C, 0x2E, 'C'},
    {SDL_SCANCODE_V, 0x2F, 'V'}, {SDL_SCANCODE_B, 0x30, 'B'}, {SDL_SCANCODE_N, 0x31, 'N'},
    {SDL_SCANCODE_M, 0x32, 'M'},
    {SDL_SCANCODE_COMMA, 0x33, 0xBC}, {SDL_SCANCODE_PERIOD, 0x34, 0xBE},
    {SDL_SCANCODE_SLASH, 0x35, 0xBF}, {SDL_SCANCODE_RSHIFT, 0x36, 0x10},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37, 0x6A}, {SDL_SCANCODE_LALT, 0x38, 0x12},
    {SDL_SCANCODE_SPACE, 0x39, 0x20}, {SDL_SCANCODE_CAPSLOCK, 0x3A, 0x14},
    {SDL_SCANCODE_F1, 0x3B, 0x70}, {SDL_SCANCODE_F2, 0x3C, 0x71}, {SDL_SCANCODE_F3, 0x3D, 0x72},
    {SDL_SCANCODE_F4, 0x3E, 0x73}, {SDL_SCANCODE_F5, 0x3F, 0x74}, {SDL_SCANCODE_F6, 0x40, 0x75},
    {SDL_SCANCODE_F7, 0x41, 0x76}, {SDL_SCANCODE_F8, 0x42, 0x77}, {SDL_SCANCODE_F9, 0x43, 0x78},
    {SDL_SCANCODE_F10, 0x44, 0x79},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45, 0x90}, {SDL_SCANCODE_SCROLLLOCK, 0x46, 0x91},
    {SDL_SCANCODE_KP_7, 0x47, 0x67}, {SDL_SCANCODE_KP_8, 0x48, 0x68},
    {SDL_SCANCODE_KP_9, 0x49, 0x69}, {SDL_SCANCODE_KP_MINUS, 0x4A, 0x6D},
    {SDL_SCANCODE_KP_4, 0x4B, 0x64}, {SDL_SCANCODE_KP_5, 0x4C, 0x65},
    {SDL_SCANCODE_KP_6, 0x4D, 0x66}, {SDL_SCANCODE_KP_PLUS, 0x4E, 0x6B},
    {SDL_SCANCODE_KP_1, 0x4F, 0x61}, {SDL_SCANCODE_KP_2, 0x50, 0x62},
    {SDL_SCANCODE_KP_3, 0x51, 0x63}, {SDL_SCANCODE_KP_0, 0x52, 0x60},
    {SDL_SCANCODE_KP_PERIOD, 0x53, 0x6E}, {SDL_SCANCODE_NONUSBACKSLASH, 0x56, 0xE2},
    {SDL_SCANCODE_F11, 0x57, 0x7A}, {SDL_SCANCODE_F12, 0x58, 0x7B},
    {SDL_SCANCODE_F13, 0x64, 0x7C}, {SDL_SCANCODE_F14, 0x65, 0x7D},
    {SDL_SCANCODE_F15, 0x66, 0x7E}, {SDL_SCANCODE_F16, 0x00, 0x7F},
    {SDL_SCANCODE_F17, 0x00, 0x80}, {SDL_SCANCODE_F18, 0x00, 0x81},
    {SDL_SCANCODE_F19, 0x00, 0x82}, {SDL_SCANCODE_F20, 0x00, 0x83},
    {SDL_SCANCODE_F21, 0x00, 0x84}, {SDL_SCANCODE_F22, 0x00, 0x85},
    {SDL_SCANCODE_F23, 0x00, 0x86}, {SDL_SCANCODE_F24, 0x00, 0x87},
    {SDL_SCANCODE_KP_EQUALS, 0x8D, 0x00}, {SDL_SCANCODE_KP_COMMA, 0xB3, 0x6C},
    {SDL_SCANCODE_KP_ENTER, 0x9C, 0x0D}, {SDL_SCANCODE_RCTRL, 0x9D, 0x11},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5, 0x6F}, {SDL_SCANCODE_PRINTSCREEN, 0xB7, 0x2C},
    {SDL_SCANCODE_RALT, 0xB8, 0x12}, {SDL_SCANCODE_PAUSE, 0xC5, 0x13},
    {SDL_SCANCODE_HOME, 0xC7, 0x24}, {SDL_SCANCODE_UP, 0xC8, 0x26},
    {SDL_SCANCODE_PAGEUP, 0xC9, 0x21}, {SDL_SCANCODE_LEFT, 0xCB, 0x25},
    {SDL_SCANCODE_RIGHT, 0xCD, 0x27}, {SDL_SCANCODE_END, 0xCF, 0x23},
    {SDL_SCANCODE_DOWN, 0xD0, 0x28}, {SDL_SCANCODE_PAGEDOWN, 0xD1, 0x22},
    {SDL_SCANCODE_INSERT, 0xD2, 0x2D}, {SDL_SCANCODE_DELETE, 0xD3, 0x2E},
    {SDL_SCANCODE_LGUI, 0xDB, 0x5B}, {SDL_SCANCODE_RGUI, 0xDC, 0x5C},
    {SDL_SCANCODE_APPLICATION, 0xDD, 0x5D}, {SDL_SCANCODE_POWER, 0xDE, 0x00},
    {SDL_SCANCODE_SLEEP, 0xDF, 0x5F},
};

// The keypad with num lock off: the navigation key printed on each digit key.
constexpr struct {
  SDL_Scancode scancode;
  uint8_t vk;
} kKeypadNavigation[] = {
    {SDL_SCANCODE_KP_0, 0x2D}, {SDL_SCANCODE_KP_1, 0x23}, {SDL_SCANCODE_KP_2, 0x28},
    {SDL_SCANCODE_KP_3, 0x22}, {SDL_SCANCODE_KP_4, 0x25}, {SDL_SCANCODE_KP_5, 0x0C},
    {SDL_SCANCODE_KP_6, 0x27}, {SDL_SCANCODE_KP_7, 0x24}, {SDL_SCANCODE_KP_8, 0x26},
    {SDL_SCANCODE_KP_9, 0x21}, {SDL_SCANCODE_KP_PERIOD, 0x2E},
};

struct Lookup {
  std::array<uint8_t, SDL_NUM_SCANCODES> dik{};
  std::array<uint8_t, SDL_NUM_SCANCODES> vk{};
};

constexpr Lookup MakeLookup() {
  Lookup lookup;
  for (const KeyCodes& k : kKeyCodes) {
    lookup.dik[k.scancode] = k.dik;
    lookup.vk[k.scancode] = k.vk;
  }
  return lookup;
}

constexpr Lookup kLookup = MakeLookup();

bool ValidScancode(int scancode) { return scancode > 0 && scancode < SDL_NUM_SCANCODES; }

}  // namespace

uint8_t DikFromScancode(int scancode) {
  return ValidScancode(scancode) ? kLookup.dik[scancode] : 0;
}

int32_t VkFromKey(int scancode, int32_t keycode, bool numLock) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
  if (!ValidScancode(scancode)) return 0;
  if (!numLock) {
    for (const auto& k : kKeypadNavigation) {
      if (k.scancode == scancode) return k.vk;
    }
  }
  return kLookup.vk[scancode];
}

}  // namespace platform
