// SIGINT and SIGTERM as a request to end the program at once. The handlers only set a flag;
// the event queue turns it into a Quit event. A blocked wait for events wakes up when the
// signal interrupts it, and at the latest at its time-out (one clock tick).
#pragma once

namespace platform {

class QuitSignals {
 public:
  // Installs the handlers; the destructor puts the previous ones back.
  QuitSignals();
  ~QuitSignals();
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // True once either signal has arrived.
  static bool Received();
  // Forgets an earlier signal (tests).
  static void Clear();

  // While one exists, a quit signal ends the process at once, as the signal's default action
  // would: the program is blocked in a call that cannot look at the flag (a message box, an
  // HTTP request). A process forked meanwhile (a message box's helper) ends with ours.
  class Blocking {
   public:
    Blocking();
    ~Blocking();
    Blocking(const Blocking&) = delete;
    Blocking& operator=(const Blocking&) = delete;
  };
};

}  // namespace platform
