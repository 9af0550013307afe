#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

namespace platform {

SdlPlatform::SdlPlatform() {
  // Window-surface copies cost a few per cent of a core; an accelerated surface would go
  // through OpenGL, which is emulated on the CPU on machines without a GPU.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // SIGINT/SIGTERM are ours (QuitSignals); closing the window is a close request only.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // A full-screen window stays up when the program loses focus; the program minimises itself.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    error_ = std::string("cannot start the display: ") + SDL_GetError();
    return;
  }
  // SDL falls back to an invisible off-screen display when it finds no real one; a game
  // nobody can see would run on for ever. Only an explicit choice of that driver (tests,
  // benchmarks) gets it.
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool invisible = driver && (SDL_strcmp(driver, "offscreen") == 0 ||
                                    SDL_strcmp(driver, "dummy") == 0);
  if (invisible && !SDL_GetHint(SDL_HINT_VIDEODRIVER)) {
    error_ = "no display found (is DISPLAY or WAYLAND_DISPLAY set?)";
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
    return;
  }
  ok_ = true;
  display_ = std::make_unique<SdlDisplay>();
  input_ = std::make_unique<SdlInput>();
  events_ = std::make_unique<SdlEvents>(*display_);
  display_->OnCursorWarp(
      [input = input_.get()](int32_t x, int32_t y) { input->PointerWarped(x, y); });
  SDL_StartTextInput();
  sound_ = std::make_unique<SdlSoundDevice>();
  music_ = std::make_unique<SdlMusicPlayer>(*sound_);
  gamepads_ = std::make_unique<SdlGamepads>();
}

SdlPlatform::~SdlPlatform() {
  gamepads_.reset();
  music_.reset();
  sound_.reset();
  events_.reset();
  input_.reset();
  display_.reset();
  if (ok_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
}

Platform SdlPlatform::Services() {
  Platform p;
  p.clock = &clock_;
  p.display = display_.get();
  p.input = input_.get();
  p.events = events_.get();
  p.shell = &shell_;
  p.http = &http_;
  p.fonts = &fonts_;
  p.sound = sound_.get();
  p.music = music_.get();
  p.gamepads = gamepads_.get();
  return p;
}

}  // namespace platform
