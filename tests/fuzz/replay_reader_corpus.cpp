// Runs the replay reader's fuzz target over a fixed corpus: short real replays, and every
// truncation, a spread of bit flips and byte values of each, with and without a repaired
// checksum. `--write DIR` writes the seed replays as files for a libFuzzer run instead.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "replay/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::string> Seeds() {
  std::vector<std::string> seeds;
  for (const uint32_t frames : {1u, 3u, 64u, 300u}) {
    TReplay r;
    r.GameVersion = ReplayGameVersion();
    r.Seed = frames * 7919u;
    r.StartTick = 1000;
    r.StartTime = 1765400000;
    r.Name = frames % 2 ? "Ann" : "";
    uint32_t tick = r.StartTick;
    for (uint32_t i = 0; i < frames; ++i) {
      tick += 15 + (i % 3 != 0);
      r.Frames.push_back({tick, static_cast<uint16_t>(i * 37 % 128)});
    }
    seeds.push_back(EncodeReplay(r));
  }
  return seeds;
}

void Run(const std::string& bytes, uint8_t mode, size_t& runs) {
  std::string input(1, static_cast<char>(mode));
  input += bytes;
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  ++runs;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> seeds = Seeds();
  if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
    for (size_t i = 0; i < seeds.size(); ++i) {
      for (const char mode : {'\0', '\1'}) {
        std::ofstream out(std::string(argv[2]) + "/seed" + std::to_string(i) + "-" +
                              std::to_string(int(mode)),
                          std::ios::binary);
        out << mode << seeds[i];
      }
    }
    return 0;
  }
  size_t runs = 0;
  for (const std::string& seed : seeds) {
    for (uint8_t mode : {0, 1}) {
      Run(seed, mode, runs);
      for (size_t cut = 0; cut < seed.size(); ++cut) Run(seed.substr(0, cut), mode, runs);
      for (size_t at = 0; at < seed.size(); ++at) {
        for (const uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
          std::string changed = seed;
          changed[at] = static_cast<char>(value);
          Run(changed, mode, runs);
        }
        std::string flipped = seed;
        flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
        Run(flipped, mode, runs);
      }
    }
  }
  std::printf("replay reader: %zu inputs, none crashed\n", runs);
  return 0;
}
