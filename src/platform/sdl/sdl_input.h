// The polled keyboard and mouse devices. The keyboard state comes from SDL's key table (keys
// seen by the window). Mouse motion is summed from the pointer positions of SDL's motion
// events (as they are queued), so a jump made by SetCursorPos is not counted as motion.
#pragma once

#include <cstdint>

#include "platform/platform.h"

union SDL_Event;

namespace platform {

class SdlInput : public IInputDevices {
 public:
  SdlInput();
  ~SdlInput() override;
  SdlInput(const SdlInput&) = delete;
  SdlInput& operator=(const SdlInput&) = delete;

  void ReadKeyboard(uint8_t state[256]) override;
  void ReadMouse(uint8_t state[20]) override;
  void AcquireKeyboard(bool acquire) override;
  void AcquireMouse(bool acquire) override;

  // The program moved the pointer to (x, y) in window pixels: measure from there.
  void PointerWarped(int32_t x, int32_t y);

 private:
  static int WatchEvent(void* self, SDL_Event* event);

  bool keyboard_ = false;
  bool mouse_ = false;
  bool hasPosition_ = false;  // lastX_, lastY_ are known
  int32_t lastX_ = 0, lastY_ = 0;
  // Motion since the last read: pixels, and the wheel at 120 per notch.
  int32_t dx_ = 0, dy_ = 0, wheel_ = 0;
};

}  // namespace platform
