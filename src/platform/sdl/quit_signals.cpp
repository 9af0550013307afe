#include "platform/sdl/quit_signals.h"

#include <atomic>
#include <csignal>

namespace platform {

namespace {

std::atomic<bool> gReceived{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

struct sigaction gOldInt, gOldTerm;

void OnSignal(int) { gReceived.store(true); }

}  // namespace

QuitSignals::QuitSignals() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait for events that the signal interrupts returns at once.
  action.sa_flags = 0;
  sigaction(SIGINT, &action, &gOldInt);
  sigaction(SIGTERM, &action, &gOldTerm);
}

QuitSignals::~QuitSignals() {
  sigaction(SIGINT, &gOldInt, nullptr);
  sigaction(SIGTERM, &gOldTerm, nullptr);
}

bool QuitSignals::Received() { return gReceived.load(); }

void QuitSignals::Clear() { gReceived.store(false); }

}  // namespace platform
