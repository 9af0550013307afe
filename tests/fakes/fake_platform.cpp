#include "fakes/fake_platform.h"

#if defined(_WIN32)
#include <filesystem>

#include "platform/windows/windows_font_locator.h"
#else
#include <fontconfig/fontconfig.h>
#include <strings.h>
#endif

#include <cstring>

namespace fake {

void FakeClock::NextTick() {
  // 15.625 ms = 125 / 8 ms
  const auto before = static_cast<uint32_t>(tickIndex_ * 125 / 8);
  ++tickIndex_;
  const auto after = static_cast<uint32_t>(tickIndex_ * 125 / 8);
  now += after - before;
  Follow();
}

void FakeDisplay::Present(const uint32_t* pixels, int pitch) {
  ++presentCount;
  pictureLost = false;
  lastFrame.resize(800 * 600);
  for (int y = 0; y < 600; ++y) {
    std::memcpy(&lastFrame[static_cast<size_t>(y) * 800],
                reinterpret_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch, 800 * 4);
  }
}

void FakeInput::ReadKeyboard(uint8_t state[256]) {
  if (keyboardAcquired) std::memcpy(state, keys.data(), 256);
}

void FakeInput::ReadMouse(uint8_t state[20]) {
  if (!mouseAcquired) return;
  const int32_t motion[3] = {mouseDx, mouseDy, 0};
  std::memcpy(state, motion, 12);
  std::memcpy(state + 12, buttons.data(), 8);
  mouseDx = mouseDy = 0;
}

bool FakeEvents::Poll(platform::WindowEvent& event) {
  if (queue.empty()) return false;
  event = queue.front();
  queue.pop_front();
  return true;
}

#if defined(_WIN32)
// Windows has no fontconfig: the program's own locator, on the faces the build copies into the
// game folder.
std::string FakeFonts::FindFont(const std::string& family, bool bold) {
  static platform::WindowsFontLocator locator({std::filesystem::path(STARMOAT_GAME_DIR) / "fonts"});
  return locator.FindFont(family, bold);
}
#else
std::string FakeFonts::FindFont(const std::string& family, bool bold) {
  std::string path;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
  if (!pattern) return path;
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* file = nullptr;
    FcChar8* matched = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch &&
        strcasecmp(reinterpret_cast<const char*>(matched), family.c_str()) == 0 &&
        FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      path = reinterpret_cast<const char*>(file);
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return path;
}
#endif

platform::Platform FakePlatform::Services() {
  platform::Platform p;
  p.clock = &clock;
  p.display = &display;
  p.input = &input;
  p.events = &events;
  p.shell = &shell;
  p.fonts = &fonts;
  p.gamepads = gamepads;
  return p;
}

}  // namespace fake
