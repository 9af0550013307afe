#include "platform/web/web_page.h"

#include <SDL.h>
#include <emscripten.h>

namespace platform {

namespace {

Uint32 HiddenWindow = 0;

void SendWindowEvent(Uint32 window, Uint8 what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = window;
  event.window.event = what;
  SDL_PushEvent(&event);
}

}  // namespace

void HidePage(SDL_Window* window) {
  if (!window) return;
  HiddenWindow = SDL_GetWindowID(window);
  EM_ASM({ Module.starmoatHide(); });
  SendWindowEvent(HiddenWindow, SDL_WINDOWEVENT_MINIMIZED);
}

}  // namespace platform

// Called by the page when the player brings the hidden game back.
extern "C" EMSCRIPTEN_KEEPALIVE void starmoat_web_restored() {
  if (platform::HiddenWindow == 0) return;
  platform::SendWindowEvent(platform::HiddenWindow, SDL_WINDOWEVENT_RESTORED);
  platform::HiddenWindow = 0;
}
