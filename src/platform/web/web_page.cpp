#include "platform/web/web_page.h"

#include <SDL.h>
#include <emscripten.h>

#include <utility>

namespace platform {

namespace {

Uint32 HiddenWindow = 0;
std::function<void()> KeepSettings;
bool KeepRequested = false;
// Full screen as the game last knew it: what it asked for, or what it was told of.
bool GameFullScreen = false;
Uint32 FullScreenEventType = 0;

void SendWindowEvent(Uint32 window, Uint8 what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = window;
  event.window.event = what;
  SDL_PushEvent(&event);
}

}  // namespace

void HidePage(SDL_Window* window) {
  // Already hidden: the focus loss that hiding sends asks a full-screen game to minimise again.
  if (!window || HiddenWindow != 0) return;
  HiddenWindow = SDL_GetWindowID(window);
  EM_ASM({ Module.starmoatHide(); });
  // As a minimised window: it loses the focus (the game stops and its music with it), then
  // reports the minimise.
  SendWindowEvent(HiddenWindow, SDL_WINDOWEVENT_FOCUS_LOST);
  SendWindowEvent(HiddenWindow, SDL_WINDOWEVENT_MINIMIZED);
}

bool PageHidden() { return HiddenWindow != 0; }

void SetPageFullScreen(bool fullScreen) {
  GameFullScreen = fullScreen;
  EM_ASM({ Module.starmoatFullScreen($0 !== 0); }, fullScreen ? 1 : 0);
}

bool IsPageFullScreenChange(const SDL_Event& event, bool& fullScreen) {
  if (FullScreenEventType == 0 || event.type != FullScreenEventType) return false;
  fullScreen = event.user.code != 0;
  return true;
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
  platform::SendWindowEvent(platform::HiddenWindow, SDL_WINDOWEVENT_FOCUS_GAINED);
  platform::HiddenWindow = 0;
}

// Called by the page whenever the browser enters or leaves full screen. Only a change the game
// does not know of yet is queued for it; the page's JavaScript never waits in here.
extern "C" EMSCRIPTEN_KEEPALIVE void starmoat_web_full_screen(int fullScreen) {
  if ((fullScreen != 0) == platform::GameFullScreen || SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  if (platform::FullScreenEventType == 0) {
    const Uint32 type = SDL_RegisterEvents(1);
    if (type == static_cast<Uint32>(-1)) return;
    platform::FullScreenEventType = type;
  }
  platform::GameFullScreen = fullScreen != 0;
  SDL_Event event{};
  event.type = platform::FullScreenEventType;
  event.user.code = fullScreen != 0 ? 1 : 0;
  SDL_PushEvent(&event);
}

// Called by the page when the settings should be kept; done on the program's next turn.
extern "C" EMSCRIPTEN_KEEPALIVE void starmoat_web_keep_settings() {
  platform::KeepRequested = true;
}
