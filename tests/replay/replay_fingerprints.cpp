// Replays across builds: records autopilot games headless, and plays replay files back printing
// what every build must agree on. Built by each build of the game (Linux, and Windows to run
// under Wine), so that a test can feed one build's recordings to another and compare the text.
//
//   replay_fingerprints record DIR SEED[:GIVE_UP_STAGE]...
//       one autopilot game per seed, written as DIR/seed-SEED.smr (the pilot gives up from the
//       stage given, default 2; 255: never, a long game)
//   replay_fingerprints show FILE...
//       per file: the verdict, final score, frames played, then the fingerprint after every
//       64th frame and of the final state; exit status 1 when any file is refused
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "fakes/autopilot.h"
#include "game/frame_input.h"
#include "game/game.h"
#include "game/random.h"
#include "replay/fingerprint.h"
#include "replay/replay_check.h"
#include "replay/replay_file.h"

namespace {

// Ends any game: a pilot that never gives up still loses in the end, or quits here.
constexpr uint32_t kMaxFrames = 64u * 60u * 30u;

bool ParseUnsigned(std::string_view text, uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > UINT32_MAX) return false;
  value = static_cast<uint32_t>(v);
  return true;
}

// The clock as a real frame loop sees it: 64 frames a second in whole milliseconds (15 or 16
// apart), with a late frame now and then, and a start near the 32-bit wrap for some seeds.
uint32_t NextTickStep(uint32_t frame) {
  if (frame % 211 == 0) return 47;
  return (frame % 8) < 5 ? 16 : 15;
}

TReplay Record(uint32_t seed, uint8_t giveUpStage) {
  TReplay replay;
  replay.GameVersion = ReplayGameVersion();
  replay.Seed = seed;
  replay.StartTick = (seed % 2) ? UINT32_MAX - 5000u * seed : 1000u * seed;
  replay.StartTime = 1700000000 + static_cast<int64_t>(seed);
  Game = std::make_unique<TGame>(replay.Seed, replay.StartTick);
  Autopilot pilot(giveUpStage);
  const uint8_t noMouse[20] = {};
  uint32_t tick = replay.StartTick;
  for (uint32_t frame = 0; !Game->Finished; ++frame) {
    TFrameInput input;
    tick += NextTickStep(frame);
    input.Tick = tick;
    input.Controls = ControlsFromDevices(pilot.Decide(*Game), noMouse);
    if (frame + 1 == kMaxFrames) input.Controls |= kCtlQuit;
    replay.Frames.push_back(input);
    Game->Update(input, nullptr);
    if (Game->Frames % kFingerprintInterval == 0) {
      replay.Checks.push_back(static_cast<uint32_t>(GameFingerprint(*Game)));
    }
  }
  replay.Score = Game->Score;
  replay.Fingerprint = GameFingerprint(*Game);
  Game.reset();
  return replay;
}

int RecordAll(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: replay_fingerprints record DIR SEED[:GIVE_UP_STAGE]...\n");
    return 2;
  }
  const std::string dir = argv[2];
  for (int i = 3; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const size_t colon = arg.find(':');
    uint32_t seed = 0;
    uint32_t giveUp = 2;
    if (!ParseUnsigned(arg.substr(0, colon), seed) ||
        (colon != std::string_view::npos && (!ParseUnsigned(arg.substr(colon + 1), giveUp) || giveUp > 255))) {
      std::fprintf(stderr, "replay_fingerprints: not SEED or SEED:GIVE_UP_STAGE: %s\n", argv[i]);
      return 2;
    }
    const TReplay replay = Record(seed, static_cast<uint8_t>(giveUp));
    const std::string path = dir + "/seed-" + std::to_string(seed) + ".smr";
    const std::string bytes = EncodeReplay(replay);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::fprintf(stderr, "replay_fingerprints: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s: %zu frames, score %" PRId32 ", %zu bytes\n", path.c_str(), replay.Frames.size(),
                replay.Score, bytes.size());
  }
  return 0;
}

int ShowAll(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: replay_fingerprints show FILE...\n");
    return 2;
  }
  int status = 0;
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) {
      std::printf("%s: unreadable\n", argv[i]);
      status = 1;
      continue;
    }
    // Named without its folder: the two builds see the same file under different paths.
    std::string name = argv[i];
    if (const size_t slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
    const TReplayVerdict verdict = VerifyReplay(bytes.data(), bytes.size());
    std::printf("%s: %s, score %" PRId32 ", %" PRIu32 " frames, %zu fingerprints\n", name.c_str(),
                verdict.Ok ? "verified" : ("refused (" + verdict.Error + ")").c_str(), verdict.Score,
                verdict.Frames, verdict.Fingerprints.size());
    for (size_t f = 0; f < verdict.Fingerprints.size(); ++f) {
      const bool last = f + 1 == verdict.Fingerprints.size();
      std::printf("%s %s %016" PRIx64 "\n", name.c_str(),
                  last ? "final" : std::to_string((f + 1) * kFingerprintInterval).c_str(),
                  verdict.Fingerprints[f]);
    }
    if (!verdict.Ok) status = 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "record") return RecordAll(argc, argv);
  if (command == "show") return ShowAll(argc, argv);
  std::fprintf(stderr,
               "usage: replay_fingerprints record DIR SEED[:GIVE_UP_STAGE]...\n"
               "       replay_fingerprints show FILE...\n");
  return 2;
}
