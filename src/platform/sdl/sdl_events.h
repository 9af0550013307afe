// SDL's event queue as the program's window events.
#pragma once

#include <SDL_events.h>

#include "platform/platform.h"
#include "platform/sdl/quit_signals.h"

namespace platform {

class SdlDisplay;

class SdlEvents : public IEventQueue {
 public:
  // display: for the letterbox mapping of pointer positions and the window's state.
  explicit SdlEvents(SdlDisplay& display);

  // A key press comes with the text it typed, when SDL reports that text right behind it;
  // text that arrives alone (an input method) is a KeyDown with vk 0. Keys without a
  // virtual-key code are dropped. After SIGINT/SIGTERM the next call returns Quit (once).
  bool Poll(WindowEvent& event) override;
  // Blocks in SDL's wait until an event arrives or the time-out passes; a signal cuts it short.
  void Wait(uint32_t timeoutMs) override;

 private:
  bool Next(SDL_Event& event);
  bool Translate(const SDL_Event& event, WindowEvent& out);
  bool TranslateWindowEvent(const SDL_WindowEvent& event, WindowEvent& out);
  std::string TakeFollowingText();

  SdlDisplay& display_;
  QuitSignals signals_;
  SDL_Event pending_{};  // an event taken by Wait, handed out by the next Poll
  bool hasPending_ = false;
  bool quitDelivered_ = false;
};

}  // namespace platform
