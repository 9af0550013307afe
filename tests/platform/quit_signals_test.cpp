#include "platform/sdl/quit_signals.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>

namespace {

using platform::QuitSignals;

TEST(QuitSignalsTest, ASignalIsOnlyNotedWhileNothingBlocks) {
  EXPECT_EXIT(
      {
        QuitSignals signals;
        std::raise(SIGTERM);
        _exit(QuitSignals::Received() ? 3 : 4);
      },
      testing::ExitedWithCode(3), "");
}

TEST(QuitSignalsTest, ASignalDuringABlockingCallEndsTheProcess) {
  EXPECT_EXIT(
      {
        QuitSignals signals;
        QuitSignals::Blocking blocking;
        std::raise(SIGINT);
        _exit(0);
      },
      testing::KilledBySignal(SIGINT), "");
}

TEST(QuitSignalsTest, ASignalJustBeforeABlockingCallEndsTheProcess) {
  EXPECT_EXIT(
      {
        QuitSignals signals;
        std::raise(SIGTERM);
        QuitSignals::Blocking blocking;
        _exit(0);
      },
      testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
