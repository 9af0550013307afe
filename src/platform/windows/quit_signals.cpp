// Windows has no SIGINT or SIGTERM for a program: Ctrl-C, Ctrl-Break and closing the console
// come to a console control handler instead (a game started from Explorer has no console and
// gets none of them; closing its window is a close request, as on Linux).
#include "platform/sdl/quit_signals.h"

#include <windows.h>

#include <atomic>

namespace platform {

namespace {

std::atomic<bool> gReceived{false};
std::atomic<int> gBlocking{0};
bool gInstalled = false;

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      gReceived.store(true);
      // In a blocking call nobody looks at the flag: the system's own handler, next in line,
      // ends the process as an unhandled Ctrl-C does.
      return gBlocking.load() > 0 ? FALSE : TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

QuitSignals::QuitSignals() {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  gInstalled = true;
}

QuitSignals::~QuitSignals() {
  SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  gInstalled = false;
}

bool QuitSignals::Received() { return gReceived.load(); }

void QuitSignals::Clear() { gReceived.store(false); }

QuitSignals::Blocking::Blocking() {
  gBlocking.fetch_add(1);
  // An event that came just before the blocking call would otherwise wait for its end.
  if (gInstalled && gReceived.load()) ExitProcess(STATUS_CONTROL_C_EXIT);
}

QuitSignals::Blocking::~Blocking() { gBlocking.fetch_sub(1); }

}  // namespace platform
