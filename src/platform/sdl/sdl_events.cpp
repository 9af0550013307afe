#include "platform/sdl/sdl_events.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>

#include "platform/sdl/key_codes.h"
#include "platform/sdl/sdl_display.h"

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>

#include "platform/web/web_page.h"
#endif

namespace platform {

namespace {

uint8_t ShiftBits(Uint16 mod, Uint32 buttons) {
  uint8_t shift = 0;
  if (mod & KMOD_SHIFT) shift |= kShift;
  if (mod & KMOD_ALT) shift |= kAlt;
  if (mod & KMOD_CTRL) shift |= kCtrl;
  if (buttons & SDL_BUTTON_LMASK) shift |= kLeftButton;
  if (buttons & SDL_BUTTON_RMASK) shift |= kRightButton;
  return shift;
}

uint8_t CurrentShift() {
  return ShiftBits(static_cast<Uint16>(SDL_GetModState()), SDL_GetMouseState(nullptr, nullptr));
}

// 0 left, 1 right, 2 middle, then the side buttons; -1 for anything else.
int32_t ButtonIndex(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_X1: return 3;
    case SDL_BUTTON_X2: return 4;
    default: return -1;
  }
}

}  // namespace

SdlEvents::SdlEvents(SdlDisplay& display) : display_(display) {}

bool SdlEvents::Poll(WindowEvent& event) {
  if (QuitSignals::Received() && !quitDelivered_) {
    quitDelivered_ = true;
    event = WindowEvent{};
    event.kind = WindowEvent::Quit;
    return true;
  }
  SDL_Event sdl;
  while (Next(sdl)) {
    event = WindowEvent{};
    if (Translate(sdl, event)) return true;
  }
  return false;
}

void SdlEvents::Wait(uint32_t timeoutMs) {
  if (hasPending_ || (QuitSignals::Received() && !quitDelivered_)) return;
  // SDL takes an int, and a negative one would mean "for ever".
  const int timeout = static_cast<int>(std::min<uint32_t>(timeoutMs, INT32_MAX));
#if defined(__EMSCRIPTEN__)
  // Between frames: what the page asked for while the program was yielding is done now, on
  // the program's own turn.
  RunPageRequests();
  // In a page the events arrive from the browser while the program yields to it: one pause
  // until the next tick (ASYNCIFY), rather than SDL's wait, which yields a millisecond at a
  // time. A key pressed meanwhile is read at that tick, as a waiting frame loop reads it.
  if (SDL_PeepEvents(&pending_, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
    hasPending_ = true;
    return;
  }
  emscripten_sleep(static_cast<unsigned>(timeout));
  // Behind the boss key's blank page the game stands still, as a paused game does, until the
  // page shows it again (its restore then lands on the pause screen). What the page asks for
  // meanwhile is still done.
  while (PageHidden() && !SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) {
    emscripten_sleep(static_cast<unsigned>(timeout > 0 ? timeout : 15));
    RunPageRequests();
  }
#else
  if (SDL_WaitEventTimeout(&pending_, timeout) == 1) hasPending_ = true;
#endif
}

bool SdlEvents::Next(SDL_Event& event) {
  if (hasPending_) {
    event = pending_;
    hasPending_ = false;
    return true;
  }
  if (SDL_PollEvent(&event) == 1) return true;
  // SDL_PollEvent ends each batch of pumped events once; take what was queued behind it too.
  return SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1;
}

std::string SdlEvents::TakeFollowingText() {
  // SDL queues a key's text right after the key itself, from the same X event.
  SDL_Event next;
  if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1 ||
      next.type != SDL_TEXTINPUT) {
    return {};
  }
  SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
  return next.text.text;
}

bool SdlEvents::Translate(const SDL_Event& e, WindowEvent& out) {
#if defined(__EMSCRIPTEN__)
  // The browser entered full screen on the page's Alt+Enter, as a maximised window means full
  // screen, or left it on the player's Esc.
  bool fullScreen = false;
  if (IsPageFullScreenChange(e, fullScreen)) {
    display_.PictureMayBeLost();
    out.kind = fullScreen ? WindowEvent::MaximizeRequested : WindowEvent::FullScreenLeft;
    return true;
  }
#endif
  switch (e.type) {
    case SDL_KEYDOWN: {
      const SDL_Keysym& key = e.key.keysym;
      out.vk = VkFromKey(key.scancode, key.sym, (key.mod & KMOD_NUM) != 0);
      if (out.vk == 0) return false;
      out.kind = WindowEvent::KeyDown;
      out.shift = ShiftBits(key.mod, SDL_GetMouseState(nullptr, nullptr));
      out.text = TakeFollowingText();
      return true;
    }
    case SDL_TEXTINPUT:
      out.kind = WindowEvent::KeyDown;
      out.shift = CurrentShift();
      out.text = e.text.text;
      return true;
    case SDL_MOUSEMOTION: {
      const Point p = display_.CurrentLetterbox().WindowToFrame({e.motion.x, e.motion.y});
      out.kind = WindowEvent::MouseMove;
      out.x = p.x;
      out.y = p.y;
      out.shift = ShiftBits(static_cast<Uint16>(SDL_GetModState()), e.motion.state);
      return true;
    }
    case SDL_MOUSEBUTTONDOWN: {
      out.button = ButtonIndex(e.button.button);
      if (out.button < 0) return false;
      const Point p = display_.CurrentLetterbox().WindowToFrame({e.button.x, e.button.y});
      out.kind = WindowEvent::MouseDown;
      out.x = p.x;
      out.y = p.y;
      out.shift = CurrentShift();
      return true;
    }
    case SDL_WINDOWEVENT:
      return TranslateWindowEvent(e.window, out);
    case SDL_QUIT:
      out.kind = WindowEvent::CloseRequested;
      return true;
    default:
      return false;
  }
}

bool SdlEvents::TranslateWindowEvent(const SDL_WindowEvent& e, WindowEvent& out) {
  // Frames that would look the same are not presented again, so anything the window system
  // does to the window must bring the next one back.
  display_.PictureMayBeLost();
  switch (e.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: out.kind = WindowEvent::FocusGained; return true;
    case SDL_WINDOWEVENT_FOCUS_LOST: out.kind = WindowEvent::FocusLost; return true;
    case SDL_WINDOWEVENT_MINIMIZED: out.kind = WindowEvent::Minimized; return true;
    case SDL_WINDOWEVENT_RESTORED: out.kind = WindowEvent::Restored; return true;
    case SDL_WINDOWEVENT_MOVED: out.kind = WindowEvent::Moved; return true;
    case SDL_WINDOWEVENT_CLOSE: out.kind = WindowEvent::CloseRequested; return true;
    case SDL_WINDOWEVENT_RESIZED:
      // Dragging the border is refused, as a fixed window would.
      display_.KeepClientSize();
      return false;
    case SDL_WINDOWEVENT_MAXIMIZED:
      // The window is never maximised: the request means "full screen". A full-screen window
      // that some window managers also call maximised is left alone.
      if (!display_.Windowed()) return false;
      if (display_.Window()) SDL_RestoreWindow(display_.Window());
      out.kind = WindowEvent::MaximizeRequested;
      return true;
    default:
      return false;
  }
}

}  // namespace platform
