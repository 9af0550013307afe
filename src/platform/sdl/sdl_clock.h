// The tick count of the 64 Hz system timer, from a monotonic time source.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/platform.h"

namespace platform {

class SdlClock : public IClock {
 public:
  // Microseconds on a monotonic clock from a fixed origin; tests inject their own.
  using TimeSource = std::function<uint64_t()>;

  // The length of one timer step: 1/64 s.
  static constexpr uint64_t kTickMicros = 15625;

  SdlClock();  // the system's time since boot
  explicit SdlClock(TimeSource now);

  // Time since the source's origin (boot), rounded down to a whole timer step, then truncated
  // to ms. Counting from boot, not from our own start, makes the start-up seed differ.
  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override;
  // Rounded up, so that after waiting this long the tick count has moved on.
  uint32_t MsUntilNextTick() override;

 private:
  TimeSource now_;
};

}  // namespace platform
