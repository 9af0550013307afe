// Sprite copies against memcpy of the same bytes, and one label.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstring>
#include <vector>

#include "graphics/draw.h"
#include "graphics/surface.h"

namespace {

using gfx::TSurface;

constexpr uint32_t kKey = 0xFF00FF;

// A 64 x 64 sprite with a round body and transparent corners, like the ships and bonuses.
TSurface MakeSprite() {
  TSurface s(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const int dx = x - 32, dy = y - 32;
      s.SetPixel(x, y, dx * dx + dy * dy < 30 * 30 ? 0x203040u + x * 3 + y : kKey);
    }
  s.SetColorKey(kKey);
  return s;
}

double ThreadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// CPU nanoseconds per byte of one copy (CPU time, so that other processes on the machine do
// not tilt the ratio), over about 256 MB of copies.
template <typename Copy>
double NsPerByte(Copy&& copy, size_t bytes) {
  const size_t rounds = std::max<size_t>(100, (size_t{256} << 20) / bytes);
  copy();
  const double start = ThreadCpuNs();
  for (size_t round = 0; round < rounds; ++round) {
    copy();
    benchmark::ClobberMemory();
  }
  return (ThreadCpuNs() - start) / (static_cast<double>(bytes) * static_cast<double>(rounds));
}

// Copies rows of `rowBytes` at the given pitch with memcpy: the reference for a blit.
struct RowMemcpy {
  std::vector<uint8_t> src, dst;
  size_t rowBytes, pitch;
  int rows;
  RowMemcpy(size_t rowBytes_, int rows_, size_t pitch_)
      : src(pitch_ * rows_, 1), dst(pitch_ * rows_, 0), rowBytes(rowBytes_), pitch(pitch_),
        rows(rows_) {}
  void operator()() {
    for (int r = 0; r < rows; ++r) std::memcpy(dst.data() + r * pitch, src.data() + r * pitch, rowBytes);
    benchmark::DoNotOptimize(dst.data());
  }
};

// The blit's time per byte over memcpy's, as a counter next to the plain timing.
template <typename Copy>
void ReportRatio(benchmark::State& state, Copy&& copy, RowMemcpy reference) {
  const size_t bytes = reference.rowBytes * reference.rows;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["ratio_vs_memcpy"] = NsPerByte(copy, bytes) / NsPerByte(reference, bytes);
}

void BM_KeyedSprite64(benchmark::State& state) {
  const TSurface sprite = MakeSprite();
  TSurface screen(800, 600);
  for (auto _ : state) {
    screen.BltFast(300, 200, sprite, nullptr, gfx::kBltNoWaitSrcKey);
    benchmark::ClobberMemory();
  }
  ReportRatio(state, [&] { screen.BltFast(300, 200, sprite, nullptr, gfx::kBltNoWaitSrcKey); },
              RowMemcpy(64 * 4, 64, 800 * 4));
}
BENCHMARK(BM_KeyedSprite64);

void BM_MemcpySprite64(benchmark::State& state) {
  std::vector<uint32_t> src(64 * 64, 1), dst(800 * 600, 0);
  for (auto _ : state) {
    for (int r = 0; r < 64; ++r) std::memcpy(&dst[(200 + r) * 800 + 300], &src[r * 64], 64 * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 64 * 64 * 4));
}
BENCHMARK(BM_MemcpySprite64);

void BM_OpaqueFullScreen(benchmark::State& state) {
  TSurface src(800, 600);
  src.Fill(0x102030);
  TSurface dst(800, 600);
  for (auto _ : state) {
    dst.BltFast(0, 0, src, nullptr, gfx::kBltWait);
    benchmark::ClobberMemory();
  }
  ReportRatio(state, [&] { dst.BltFast(0, 0, src, nullptr, gfx::kBltWait); },
              RowMemcpy(800 * 4, 600, 800 * 4));
}
BENCHMARK(BM_OpaqueFullScreen);

void BM_MemcpyFullScreen(benchmark::State& state) {
  std::vector<uint32_t> src(800 * 600, 1), dst(800 * 600, 0);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), src.size() * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 800 * 600 * 4));
}
BENCHMARK(BM_MemcpyFullScreen);

void BM_DrawLabel(benchmark::State& state) {
  TSurface screen(800, 600);
  for (auto _ : state) {
    gfx::DrawLabel(300, 260, 46, 20, "Exit game?", &screen, 0x228822);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawLabel);

}  // namespace
