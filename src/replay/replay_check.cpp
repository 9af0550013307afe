#include "replay/replay_check.h"

#include <memory>
#include <mutex>
#include <random>

#include "game/game.h"
#include "game/game_output.h"
#include "game/random.h"
#include "replay/fingerprint.h"

namespace {

std::mutex PlayLock;

// Keeps the caller's game, input, generator, painter and sounds, and puts them back.
class TWorldKeeper {
 public:
  TWorldKeeper()
      : game_(std::move(Game)),
        input_(FrameInput),
        maxEnemyIndex_(MaxEnemyIndex),
        generator_(RandomSave()),
        painter_(GamePainter),
        sounds_(GameSounds) {
    GamePainter = nullptr;
    GameSounds = nullptr;
  }
  ~TWorldKeeper() {
    Game = std::move(game_);
    FrameInput = input_;
    MaxEnemyIndex = maxEnemyIndex_;
    RandomRestore(generator_);
    GamePainter = painter_;
    GameSounds = sounds_;
  }
  TWorldKeeper(const TWorldKeeper&) = delete;
  TWorldKeeper& operator=(const TWorldKeeper&) = delete;

 private:
  std::unique_ptr<TGame> game_;
  TFrameInput input_;
  uint8_t maxEnemyIndex_;
  std::mt19937 generator_;
  IGamePainter* painter_;
  IGameSounds* sounds_;
};

TReplayVerdict Refuse(const std::string& why) {
  TReplayVerdict verdict;
  verdict.Error = why;
  return verdict;
}

}  // namespace

TReplayVerdict PlayReplay(const TReplay& replay) {
  const std::lock_guard<std::mutex> lock(PlayLock);
  TWorldKeeper keeper;
  TReplayVerdict verdict;
  verdict.Name = replay.Name;
  uint32_t strayed = 0;
  Game = std::make_unique<TGame>(replay.Seed, replay.StartTick);
  for (const TFrameInput& input : replay.Frames) {
    if (Game->Finished) break;
    Game->Update(input, nullptr);
    ++verdict.Frames;
    if (Game->Frames % kFingerprintInterval == 0) {
      verdict.Fingerprints.push_back(GameFingerprint(*Game));
      const size_t i = verdict.Fingerprints.size() - 1;
      if (i >= replay.Checks.size() || static_cast<uint32_t>(verdict.Fingerprints[i]) != replay.Checks[i]) {
        strayed = Game->Frames;
        break;
      }
    }
  }
  verdict.Fingerprints.push_back(GameFingerprint(*Game));
  verdict.Score = Game->Score;
  const bool finished = Game->Finished;
  Game.reset();

  if (strayed) {
    return Refuse("the replay's game strays from the recorded one by frame " + std::to_string(strayed));
  }
  if (!finished) return Refuse("the replay ends before its game does");
  if (verdict.Frames != replay.Frames.size()) return Refuse("the replay goes on after its game ended");
  if (verdict.Score != replay.Score) {
    verdict.Error = "the replay says " + std::to_string(replay.Score) + " points, its game made " +
                    std::to_string(verdict.Score);
    return verdict;
  }
  if (verdict.Fingerprints.back() != replay.Fingerprint) {
    verdict.Error = "the replay's game ends in another state than the one recorded";
    return verdict;
  }
  verdict.Ok = true;
  return verdict;
}

TReplayVerdict VerifyReplay(const void* data, size_t size, const TReplayLimits& limits) {
  if (size > limits.MaxBytes) return Refuse("the replay is larger than " + std::to_string(limits.MaxBytes) + " bytes");
  TReplayRead read = DecodeReplay(data, size);
  if (!read.Ok) return Refuse(read.Error);
  if (std::string why = CheckReplayVersion(read.Replay); !why.empty()) return Refuse(why);
  if (read.Replay.Frames.size() > limits.MaxFrames) {
    return Refuse("the replay holds more than " + std::to_string(limits.MaxFrames) + " frames");
  }
  return PlayReplay(read.Replay);
}
