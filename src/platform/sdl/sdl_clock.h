// The tick count of the 64 Hz system timer, from a monotonic time source.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/platform.h"

namespace platform {

class SdlClock : public IClock {
 public:
  // Microseconds on a monotonic clock; tests inject their own.
  using TimeSource = std::function<uint64_t()>;

  // The length of one timer step: 1/64 s.
  static constexpr uint64_t kTickMicros = 15625;

  SdlClock();  // the steady system clock
  explicit SdlClock(TimeSource now);

  // Time since construction, rounded down to a whole timer step, then truncated to ms.
  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override;
  // Rounded up, so that after waiting this long the tick count has moved on.
  uint32_t MsUntilNextTick() override;

 private:
  uint64_t Elapsed();

  TimeSource now_;
  uint64_t start_;
};

}  // namespace platform
