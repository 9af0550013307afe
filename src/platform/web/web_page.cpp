#include "platform/web/web_page.h"

#include <SDL.h>
#include <emscripten.h>

#include <utility>

namespace platform {

namespace {

Uint32 HiddenWindow = 0;
std::function<void()> KeepSettings;
bool KeepRequested = false;

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

void SetKeepSettings(std::function<void()> keep) { KeepSettings = std::move(keep); }

void RunPageRequests() {
  if (!KeepRequested) return;
  KeepRequested = false;
  if (KeepSettings) KeepSettings();
}

}  // namespace platform

// Called by the page when the player brings the hidden game back.
extern "C" EMSCRIPTEN_KEEPALIVE void starmoat_web_restored() {
  if (platform::HiddenWindow == 0) return;
  platform::SendWindowEvent(platform::HiddenWindow, SDL_WINDOWEVENT_RESTORED);
  platform::HiddenWindow = 0;
}

// Called by the page when the settings should be kept; done on the program's next turn.
extern "C" EMSCRIPTEN_KEEPALIVE void starmoat_web_keep_settings() {
  platform::KeepRequested = true;
}
