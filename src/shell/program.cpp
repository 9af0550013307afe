#include "shell/program.h"

#include <cstdio>
#include <exception>

#include "graphics/images.h"
#include "shell/form.h"

namespace {

bool QuitRequested = false;

platform::Platform& Os() { return platform::Services(); }

// A fatal start-up or reload error: stderr, and a message box when there is a display.
void ReportFatal(const char* what) {
  std::fprintf(stderr, "Starmoat: %s\n", what);
  if (Os().display) Os().display->ShowError("Starmoat", what);
}

}  // namespace

bool PumpMessages() {
  platform::WindowEvent event;
  while (Os().events->Poll(event)) {
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

int RunProgram() {
  QuitRequested = false;
  TForm1 form;
  Form1 = &form;
  int status = 0;
  try {
    form.FormCreate();
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
