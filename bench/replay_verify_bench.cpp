// What checking a replay costs: a ten-minute game (the tests' autopilot at the keys, leaving by
// "Exit game?" after ten minutes) recorded headless, then played back headless by the replay
// checker as the world score server would. Reports the CPU time of one check (target: at most
// a second) and the replay's size per minute of play.
#include <benchmark/benchmark.h>

#include <ctime>
#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "fakes/autopilot.h"
#include "game/frame_input.h"
#include "game/game.h"
#include "replay/fingerprint.h"
#include "replay/replay_check.h"
#include "replay/replay_file.h"

namespace {

constexpr uint32_t kFramesPerMinute = 64 * 60;
constexpr uint32_t kPlayFrames = 10 * kFramesPerMinute;

// Records one game: the autopilot plays until it has lost or ten minutes have passed, then
// quits. The clock steps as the 64 Hz timer does.
TReplay Record(uint32_t seed) {
  TReplay r;
  r.GameVersion = ReplayGameVersion();
  r.Seed = seed;
  r.StartTick = 100000;
  Game = std::make_unique<TGame>(r.Seed, r.StartTick);
  Autopilot pilot;
  const uint8_t still[20] = {};
  for (uint64_t k = 1; !Game->Finished && k < 4 * kPlayFrames; ++k) {
    TFrameInput input{static_cast<uint32_t>(r.StartTick + k * 125 / 8),
                      ControlsFromDevices(pilot.Decide(*Game), still)};
    if (k == kPlayFrames) input.Controls |= kCtlQuit;
    r.Frames.push_back(input);
    Game->Update(input, nullptr);
    if (Game->Frames % kFingerprintInterval == 0) r.Checks.push_back(static_cast<uint32_t>(GameFingerprint(*Game)));
  }
  r.Score = Game->Score;
  r.Fingerprint = GameFingerprint(*Game);
  Game.reset();
  return r;
}

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The first seed whose game lasts the ten minutes, else the longest of twenty.
const std::string& TenMinuteReplay() {
  static const std::string bytes = [] {
    TReplay longest;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
      TReplay r = Record(seed);
      if (r.Frames.size() > longest.Frames.size()) longest = std::move(r);
      if (longest.Frames.size() >= kPlayFrames) break;
    }
    return EncodeReplay(longest);
  }();
  return bytes;
}

void BM_VerifyTenMinuteGame(benchmark::State& state) {
  const std::string& bytes = TenMinuteReplay();
  TReplayVerdict verdict;
  double cpu = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    verdict = VerifyReplay(bytes.data(), bytes.size());
    cpu += ThreadCpuSeconds() - start;
    benchmark::DoNotOptimize(verdict.Score);
  }
  if (!verdict.Ok) {
    state.SkipWithError(verdict.Error.c_str());
    return;
  }
  const double minutes = static_cast<double>(verdict.Frames) / kFramesPerMinute;
  state.counters["minutes"] = minutes;
  state.counters["frames"] = verdict.Frames;
  state.counters["score"] = verdict.Score;
  state.counters["bytes"] = static_cast<double>(bytes.size());
  state.counters["bytes_per_minute"] = static_cast<double>(bytes.size()) / minutes;
  // CPU seconds of one check, scaled to ten minutes of play.
  state.counters["cpu_s_per_10_minutes"] =
      cpu / static_cast<double>(state.iterations()) / minutes * 10.0;
}
BENCHMARK(BM_VerifyTenMinuteGame)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
