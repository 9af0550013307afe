#include "platform/sdl/sdl_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#endif

namespace platform {

namespace {

// Like the system tick count: time since boot, suspended time included where the system
// knows it.
uint64_t MicrosSinceBoot() {
#if defined(CLOCK_BOOTTIME)
  timespec ts{};
  if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0) {
    return static_cast<uint64_t>(ts.tv_sec) * 1'000'000 + static_cast<uint64_t>(ts.tv_nsec) / 1000;
  }
#endif
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

SdlClock::SdlClock() : SdlClock(MicrosSinceBoot) {}

SdlClock::SdlClock(TimeSource now) : now_(std::move(now)) {}

uint32_t SdlClock::TickCount() {
  const uint64_t steps = now_() / kTickMicros;
  // Like GetTickCount, the count wraps around after about 49.7 days.
  return static_cast<uint32_t>(steps * kTickMicros / 1000);
}

void SdlClock::Sleep(uint32_t ms) {
#if defined(__EMSCRIPTEN__)
  // In a page a sleeping thread would hold up the browser: the program yields to it instead
  // (ASYNCIFY) and goes on where it was.
  emscripten_sleep(ms);
#else
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
#endif
}

uint32_t SdlClock::MsUntilNextTick() {
  const uint64_t elapsed = now_();
  const uint64_t next = (elapsed / kTickMicros + 1) * kTickMicros;
  return static_cast<uint32_t>((next - elapsed + 999) / 1000);
}

}  // namespace platform
