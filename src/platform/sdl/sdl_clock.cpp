#include "platform/sdl/sdl_clock.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {

uint64_t SteadyMicros() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

SdlClock::SdlClock() : SdlClock(SteadyMicros) {}

SdlClock::SdlClock(TimeSource now) : now_(std::move(now)), start_(now_()) {}

uint64_t SdlClock::Elapsed() { return now_() - start_; }

uint32_t SdlClock::TickCount() {
  const uint64_t steps = Elapsed() / kTickMicros;
  // Like GetTickCount, the count wraps around after about 49.7 days.
  return static_cast<uint32_t>(steps * kTickMicros / 1000);
}

void SdlClock::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint32_t SdlClock::MsUntilNextTick() {
  const uint64_t elapsed = Elapsed();
  const uint64_t next = (elapsed / kTickMicros + 1) * kTickMicros;
  return static_cast<uint32_t>((next - elapsed + 999) / 1000);
}

}  // namespace platform
