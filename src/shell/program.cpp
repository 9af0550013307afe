#include "shell/program.h"

#include <cstdio>
#include <deque>
#include <exception>

#include "graphics/images.h"
#include "shell/form.h"
#include "shell/game_session.h"

namespace {

bool QuitRequested = false;
// Window events that arrived while the score was being sent, handled in order once it is over.
std::deque<platform::WindowEvent> HeldEvents;

platform::Platform& Os() { return platform::Services(); }

// A fatal start-up or reload error: stderr, and a message box when there is a display.
void ReportFatal(const char* what) {
  std::fprintf(stderr, "Starmoat: %s\n", what);
  if (Os().display) Os().display->ShowError("Starmoat", what);
}

// The held events first: they came before anything still in the queue.
bool NextEvent(platform::WindowEvent& event) {
  if (HeldEvents.empty()) return Os().events->Poll(event);
  event = std::move(HeldEvents.front());
  HeldEvents.pop_front();
  return true;
}

}  // namespace

void KeepWindowAlive() {
  using K = platform::WindowEvent::Kind;
  platform::WindowEvent event;
  while (Os().events->Poll(event)) {
    // Keys and clicks belong to no screen while "Please wait..." is up; a close, a quit and
    // what the window manager did to the window wait until the sending is over.
    if (event.kind == K::KeyDown || event.kind == K::MouseMove || event.kind == K::MouseDown) {
      continue;
    }
    HeldEvents.push_back(std::move(event));
  }
  Form1->ShowFrameAgain();
}

void ForgetHeldEvents() { HeldEvents.clear(); }

bool PumpMessages() {
  platform::WindowEvent event;
  while (NextEvent(event)) {
    if (event.kind == platform::WindowEvent::Quit) {
      QuitRequested = true;
      return false;
    }
    Form1->DispatchEvent(event);
    if (Form1->FClosed) return false;
  }
  Form1->PollGamepads();
  if (Form1->FClosed) return false;
  Form1->RenderFrame();
  return !Form1->FClosed;
}

int RunProgram(const TReplay* watch) {
  QuitRequested = false;
  HeldEvents.clear();
  TForm1 form;
  Form1 = &form;
  int status = 0;
  try {
    form.FormCreate();
    if (watch) StartWatching(*watch);
    // Between frames the loop sleeps until the next tick of the clock or the next event.
    while (PumpMessages()) Os().events->Wait(Os().clock->MsUntilNextTick());
  } catch (const std::exception& e) {
    ReportFatal(e.what());
    status = 1;
  }
  // A quit signal ends the program as a killed process would: nothing more is opened.
  if (status == 0 && !QuitRequested) {
    OpenIfExists("zarnel.exe");
    OpenIfExists("Kelvo.url");
  }
  form.FormDestroy();
  Form1 = nullptr;
  return status;
}
