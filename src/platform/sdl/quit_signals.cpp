#include "platform/sdl/quit_signals.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace platform {

namespace {

// The signal that arrived (0: none), and how many blocking calls are under way.
std::atomic<int> gSignal{0};
std::atomic<int> gBlocking{0};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

bool gInstalled = false;
struct sigaction gOldInt, gOldTerm;

void DieOf(int sig) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(sig, &action, nullptr);
  raise(sig);
}

void OnSignal(int sig) {
  gSignal.store(sig);
  if (gBlocking.load() > 0) DieOf(sig);
}

// A process forked during a blocking call (SDL draws X11 message boxes in a child) must end
// with us: a quit signal ends this process at once, and an orphaned box would stay on screen.
void BindChildToParent() {
  if (gBlocking.load() == 0) return;
#if defined(__linux__)
  const pid_t parent = getppid();
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  // The parent may have died before the line above.
  if (getppid() != parent) _exit(1);
#endif
}

}  // namespace

QuitSignals::QuitSignals() {
  static const bool registered = pthread_atfork(nullptr, nullptr, BindChildToParent) == 0;
  (void)registered;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait for events that the signal interrupts returns at once.
  action.sa_flags = 0;
  sigaction(SIGINT, &action, &gOldInt);
  sigaction(SIGTERM, &action, &gOldTerm);
  gInstalled = true;
}

QuitSignals::~QuitSignals() {
  sigaction(SIGINT, &gOldInt, nullptr);
  sigaction(SIGTERM, &gOldTerm, nullptr);
  gInstalled = false;
}

bool QuitSignals::Received() { return gSignal.load() != 0; }

void QuitSignals::Clear() { gSignal.store(0); }

QuitSignals::Blocking::Blocking() {
  gBlocking.fetch_add(1);
  // A signal that came just before the blocking call would otherwise wait for its end.
  const int sig = gSignal.load();
  if (gInstalled && sig != 0) DieOf(sig);
}

QuitSignals::Blocking::~Blocking() { gBlocking.fetch_sub(1); }

}  // namespace platform
