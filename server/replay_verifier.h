// Plays uploaded replays back, off the request path. The game core keeps its world in the
// program's globals, so one process plays one replay at a time; to check several at once, and
// to keep a hostile replay from taking the server with it, every replay is played by a child
// process ("starmoat-scores verify -", the same executable) with a CPU-time limit and a
// wall-clock deadline. A fixed number of workers run those children; the jobs past them wait
// in a bounded queue.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "store.h"

namespace starmoat::server {

struct VerifierOptions {
  int workers = 1;            // replays played at once (child processes)
  size_t queue = 64;          // replays waiting beyond those; past that an upload gets 503
  int cpu_seconds = 10;       // CPU time one replay may use (the child's RLIMIT_CPU)
  std::chrono::milliseconds deadline{30000};  // wall-clock time, then the child is killed
  size_t max_bytes = 256 * 1024;              // a larger replay is refused unread
  std::string program = "/proc/self/exe";     // the starmoat-scores to run as the child
};

// What the child found: a game this program could have played, with its final score and the
// name it was recorded under, or the one-line reason it is not.
struct ReplayOutcome {
  bool ok = false;
  int64_t score = 0;
  std::string name;
  uint32_t frames = 0;
  uint64_t fingerprints = 0;  // FingerprintDigest of the game's fingerprints
  std::string error;
};

// One number for a game's whole list of fingerprints (FNV-1a over their bytes), so a child can
// report them on its one line.
uint64_t FingerprintDigest(const std::vector<uint64_t>& fingerprints);

// Plays `bytes` in a child process of options.program under the limits. Blocks. started, when
// given, is told the child's process id as soon as it runs.
ReplayOutcome PlayInChild(const std::string& bytes, const VerifierOptions& options,
                          const std::function<void(pid_t)>& started = {});

// The `verify` command's work in the child: reads the replay from `in`, plays it under a CPU
// limit of cpu_seconds and writes one line: "ok score=S frames=F name=HEX" (the name's bytes
// in hex), or "refused: REASON". Returns the exit status (0 when ok, 1 when refused).
int VerifyCommand(const std::string& bytes, std::string& line);

class ReplayVerifier {
 public:
  // Called on a worker thread after each verdict is stored: the row, whether it is now
  // verified, and why not.
  using Verdict = std::function<void(const ScoreRow& row, bool verified, const std::string& why)>;
  ReplayVerifier(Store& store, VerifierOptions options, Verdict verdict);
  // Ends the children still playing and drops the replays still waiting, so a stop is never
  // held up by a long check; those rows stay marked as being checked, and unverified, with
  // their replays kept in the store, until the next start checks them again.
  ~ReplayVerifier();
  // The same, at once; afterwards the store is not touched again. Safe to call twice.
  void Stop();

  // False when the queue is full: a new upload must not be claimed.
  bool HasRoom() const;
  // Queues the replay claimed for `row`. The row is verified when the replay plays to exactly
  // its score under exactly its name; anything else refuses it.
  void Enqueue(const ScoreRow& row, std::string bytes);
  // Waits until no replay is waiting or being played (tests, benchmarks).
  void WaitIdle();

  const VerifierOptions& options() const { return options_; }

 private:
  struct Job {
    ScoreRow row;
    std::string bytes;
  };
  void Work();

  Store& store_;
  VerifierOptions options_;
  Verdict verdict_;
  mutable std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::deque<Job> jobs_;
  int busy_ = 0;
  bool stopping_ = false;
  std::vector<pid_t> children_;  // the children playing now
  std::vector<std::thread> workers_;
};

}  // namespace starmoat::server
