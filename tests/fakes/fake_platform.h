// Fakes of the platform interfaces: a clock the test sets, a display that records what it was
// asked to show, input devices and an event queue the test fills, a shell that records what it
// was asked to open.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fake {

// The tick count of the 64 Hz system timer: tick k reads floor(k * 15.625) ms.
class FakeClock : public platform::IClock {
 public:
  uint32_t TickCount() override { return now; }
  void Sleep(uint32_t ms) override {
    slept.push_back(ms);
    Advance(ms);
  }
  uint32_t MsUntilNextTick() override { return 0; }
  // Moves the clock to the next 64 Hz tick.
  void NextTick();
  void Advance(uint32_t ms) {
    now += ms;
    Follow();
  }
  void SetTick(uint32_t t) {
    now = t;
    Follow();
  }
  // From now on `*to` follows the clock (the game's frame clock, for tests that step the world's
  // objects directly instead of through a frame).
  void Mirror(uint32_t* to) {
    mirror_ = to;
    Follow();
  }

  uint32_t now = 1000;
  std::vector<uint32_t> slept;

 private:
  void Follow() {
    if (mirror_) *mirror_ = now;
  }
  uint64_t tickIndex_ = 64;
  uint32_t* mirror_ = nullptr;
};

class FakeDisplay : public platform::IDisplay {
 public:
  platform::Point ScreenSize() override { return screen; }
  void SetMode(bool w) override {
    windowed = w;
    ++setModeCount;
    LosePicture();
  }
  void Present(const uint32_t* pixels, int pitch) override;
  // Off unless a test asks: then windowed frames are composed in `canvas`, as in the window
  // surface, and the window keeps its picture until `pictureLost` is set.
  uint32_t* Canvas() override { return offerCanvas && windowed ? canvas.data() : nullptr; }
  bool ShowsLastFrame() override { return keepsPicture && presentCount > 0 && !pictureLost; }
  // What an expose or a mode switch does to the window: the picture is gone until the next
  // present.
  void LosePicture() {
    pictureLost = true;
    std::fill(lastFrame.begin(), lastFrame.end(), 0u);
  }
  platform::Rect WindowRect() override { return window; }
  platform::Point ClientOrigin() override { return {window.left + 4, window.top + 23}; }
  void MoveWindow(int32_t left, int32_t top) override {
    window = {left, top, left + (window.right - window.left), top + (window.bottom - window.top)};
  }
  void Minimize() override { ++minimizeCount; }
  void ShowCursor(bool visible) override { cursorVisible = visible; }
  void SetCursorPos(int32_t x, int32_t y) override { cursor = {x, y}; }
  void ShowError(const std::string& title, const std::string& message) override {
    errors.push_back(title + ": " + message);
  }

  platform::Point screen{1280, 1024};
  platform::Rect window{236, 200, 1044, 827};
  bool windowed = true;
  int setModeCount = 0;
  int presentCount = 0;
  int minimizeCount = 0;
  bool cursorVisible = true;
  platform::Point cursor;
  std::vector<std::string> errors;
  std::vector<uint32_t> lastFrame;  // 800 x 600, 0x00RRGGBB
  bool offerCanvas = false;
  bool keepsPicture = false;
  bool pictureLost = false;
  std::vector<uint32_t> canvas = std::vector<uint32_t>(800 * 600);
};

class FakeInput : public platform::IInputDevices {
 public:
  void ReadKeyboard(uint8_t state[256]) override;
  void ReadMouse(uint8_t state[20]) override;
  void AcquireKeyboard(bool acquire) override { keyboardAcquired = acquire; }
  void AcquireMouse(bool acquire) override { mouseAcquired = acquire; }

  std::array<uint8_t, 256> keys{};  // DirectInput key codes, 0x80 while held
  int32_t mouseDx = 0, mouseDy = 0;
  std::array<uint8_t, 8> buttons{};
  bool keyboardAcquired = false;
  bool mouseAcquired = false;
};

class FakeEvents : public platform::IEventQueue {
 public:
  bool Poll(platform::WindowEvent& event) override;
  void Wait(uint32_t) override {}
  void Push(const platform::WindowEvent& event) { queue.push_back(event); }

  std::deque<platform::WindowEvent> queue;
};

class FakeShell : public platform::IShell {
 public:
  bool Open(const std::string& fileOrUrl) override {
    opened.push_back(fileOrUrl);
    return true;
  }
  std::vector<std::string> opened;
};

// Font lookup as the program does it: fontconfig, or on Windows the game's fonts folder.
class FakeFonts : public platform::IFontLocator {
 public:
  std::string FindFont(const std::string& family, bool bold) override;
};

class FakePlatform {
 public:
  platform::Platform Services();

  FakeClock clock;
  FakeDisplay display;
  FakeInput input;
  FakeEvents events;
  FakeShell shell;
  FakeFonts fonts;
  // Not a fake: SDL's own pads with virtual devices (fakes/virtual_pad.h), when a test plugs
  // some in. Not owned.
  platform::IGamepads* gamepads = nullptr;
};

}  // namespace fake
