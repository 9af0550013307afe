#include "platform/sdl/sdl_input.h"

#include <SDL.h>

#include <cstring>
#include <iterator>

#include "platform/sdl/key_codes.h"

namespace platform {

namespace {

// One wheel notch, as the mouse device reports it.
constexpr int32_t kWheelDelta = 120;

void PutInt32(uint8_t* out, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  out[0] = static_cast<uint8_t>(u);
  out[1] = static_cast<uint8_t>(u >> 8);
  out[2] = static_cast<uint8_t>(u >> 16);
  out[3] = static_cast<uint8_t>(u >> 24);
}

}  // namespace

SdlInput::SdlInput() { SDL_AddEventWatch(&SdlInput::WatchEvent, this); }

SdlInput::~SdlInput() { SDL_DelEventWatch(&SdlInput::WatchEvent, this); }

// Runs as each event is queued, before the program polls it.
int SdlInput::WatchEvent(void* self, SDL_Event* event) {
  auto* input = static_cast<SdlInput*>(self);
  switch (event->type) {
    case SDL_MOUSEMOTION:
      // Positions rather than SDL's own relative values, which count a warp as motion.
      if (input->hasPosition_) {
        input->dx_ += event->motion.x - input->lastX_;
        input->dy_ += event->motion.y - input->lastY_;
      }
      input->lastX_ = event->motion.x;
      input->lastY_ = event->motion.y;
      input->hasPosition_ = true;
      break;
    case SDL_MOUSEWHEEL: {
      int32_t notches = event->wheel.y;
      if (event->wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      input->wheel_ += notches * kWheelDelta;
      break;
    }
    case SDL_WINDOWEVENT:
      // The pointer left the window and came back somewhere else, or the window moved under
      // it: no motion across the gap.
      if (event->window.event == SDL_WINDOWEVENT_ENTER ||
          event->window.event == SDL_WINDOWEVENT_LEAVE ||
          event->window.event == SDL_WINDOWEVENT_MOVED ||
          event->window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        input->hasPosition_ = false;
      }
      break;
    default:
      break;
  }
  return 1;
}

void SdlInput::ReadKeyboard(uint8_t state[256]) {
  if (!keyboard_) return;
  int count = 0;
  const Uint8* keys = SDL_GetKeyboardState(&count);
  for (int scancode = 0; scancode < count; ++scancode) {
    if (!keys[scancode]) continue;
    const uint8_t dik = DikFromScancode(scancode);
    if (dik != 0) state[dik] = 0x80;
  }
}

void SdlInput::ReadMouse(uint8_t state[20]) {
  if (!mouse_) return;
  PutInt32(state, dx_);
  PutInt32(state + 4, dy_);
  PutInt32(state + 8, wheel_);
  dx_ = dy_ = wheel_ = 0;
  const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
  constexpr Uint32 kMasks[] = {SDL_BUTTON_LMASK, SDL_BUTTON_RMASK, SDL_BUTTON_MMASK,
                               SDL_BUTTON_X1MASK, SDL_BUTTON_X2MASK};
  for (size_t i = 0; i < std::size(kMasks); ++i) state[12 + i] = (buttons & kMasks[i]) ? 0x80 : 0;
  std::memset(state + 12 + std::size(kMasks), 0, 8 - std::size(kMasks));
}

void SdlInput::AcquireKeyboard(bool acquire) { keyboard_ = acquire; }

void SdlInput::AcquireMouse(bool acquire) {
  if (acquire && !mouse_) dx_ = dy_ = wheel_ = 0;
  mouse_ = acquire;
}

void SdlInput::PointerWarped(int32_t x, int32_t y) {
  lastX_ = x;
  lastY_ = y;
  hasPosition_ = true;
}

}  // namespace platform
