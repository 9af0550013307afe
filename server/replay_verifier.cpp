#include "replay_verifier.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <charconv>
#include <cstring>

#include "fnv1a.h"
#include "replay/replay_check.h"

extern char** environ;

namespace starmoat::server {

namespace {

constexpr size_t kMaxChildOutput = 4096;

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const unsigned char c : bytes) {
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 15]);
  }
  return out;
}

std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    if (error != std::errc() || end != hex.data() + i + 2) return std::nullopt;
    out.push_back(static_cast<char>(value));
  }
  return out;
}

// The value of "key=" in a line of space-separated fields.
std::optional<std::string_view> Field(std::string_view line, std::string_view key) {
  size_t at = 0;
  while (at < line.size()) {
    size_t end = line.find(' ', at);
    if (end == std::string_view::npos) end = line.size();
    const std::string_view word = line.substr(at, end - at);
    if (word.size() > key.size() && word.substr(0, key.size()) == key &&
        word[key.size()] == '=') {
      return word.substr(key.size() + 1);
    }
    at = end + 1;
  }
  return std::nullopt;
}

template <typename Number>
bool ParseNumber(std::optional<std::string_view> text, Number& value) {
  if (!text || text->empty()) return false;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  return error == std::errc() && end == text->data() + text->size();
}

ReplayOutcome FromChildLine(const std::string& output, int status) {
  ReplayOutcome outcome;
  const std::string line = output.substr(0, output.find('\n'));
  if (WIFSIGNALED(status)) {
    outcome.error = WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL
                        ? "the replay took too long to play back"
                        : "the replay's check ended with signal " +
                              std::to_string(WTERMSIG(status));
    return outcome;
  }
  if (line.rfind("refused: ", 0) == 0) {
    outcome.error = line.substr(9);
    return outcome;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || line.rfind("ok ", 0) != 0) {
    outcome.error = "the replay's check failed";
    return outcome;
  }
  const std::optional<std::string> name =
      Field(line, "name") ? FromHex(*Field(line, "name")) : std::nullopt;
  const std::optional<std::string_view> digest = Field(line, "fingerprints");
  if (!ParseNumber(Field(line, "score"), outcome.score) ||
      !ParseNumber(Field(line, "frames"), outcome.frames) || !name || !digest ||
      std::from_chars(digest->data(), digest->data() + digest->size(), outcome.fingerprints, 16)
              .ec != std::errc()) {
    outcome.error = "the replay's check answered nonsense";
    return outcome;
  }
  outcome.name = *name;
  outcome.ok = true;
  return outcome;
}

// Closes its descriptor when it goes.
struct Fd {
  int fd = -1;
  ~Fd() { Close(); }
  void Close() {
    if (fd >= 0) close(fd);
    fd = -1;
  }
};

}  // namespace

uint64_t FingerprintDigest(const std::vector<uint64_t>& fingerprints) {
  uint64_t hash = kFnv1aStart;
  for (const uint64_t fingerprint : fingerprints) {
    // Little-endian whatever the machine, so every build reports the same digest.
    char bytes[8];
    for (int byte = 0; byte < 8; ++byte) bytes[byte] = static_cast<char>(fingerprint >> (8 * byte));
    hash = Fnv1a(std::string_view(bytes, sizeof bytes), hash);
  }
  return hash;
}

int VerifyCommand(const std::string& bytes, std::string& line) {
  const TReplayVerdict verdict = VerifyReplay(bytes.data(), bytes.size());
  if (!verdict.Ok) {
    line = "refused: " + verdict.Error;
    return 1;
  }
  char hex_digest[17];
  std::snprintf(hex_digest, sizeof hex_digest, "%016llx",
                static_cast<unsigned long long>(FingerprintDigest(verdict.Fingerprints)));
  line = "ok score=" + std::to_string(verdict.Score) + " frames=" +
         std::to_string(verdict.Frames) + " fingerprints=" + hex_digest +
         " name=" + Hex(verdict.Name);
  return 0;
}

ReplayOutcome PlayInChild(const std::string& bytes, const VerifierOptions& options,
                          const std::function<void(pid_t)>& started) {
  ReplayOutcome refused;
  if (bytes.size() > options.max_bytes) {
    refused.error = "the replay is larger than " + std::to_string(options.max_bytes) + " bytes";
    return refused;
  }
  int to_child[2], from_child[2];
  if (pipe2(to_child, O_CLOEXEC) != 0) {
    refused.error = std::string("cannot start the replay's check: ") + std::strerror(errno);
    return refused;
  }
  Fd child_in{to_child[0]}, write_end{to_child[1]};
  if (pipe2(from_child, O_CLOEXEC) != 0) {
    refused.error = std::string("cannot start the replay's check: ") + std::strerror(errno);
    return refused;
  }
  Fd read_end{from_child[0]}, child_out{from_child[1]};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, child_in.fd, 0);
  posix_spawn_file_actions_adddup2(&actions, child_out.fd, 1);
  // The server blocks its stop signals in every thread; the child starts with none blocked
  // and the default actions, so SIGXCPU ends it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (const int signal : {SIGTERM, SIGINT, SIGPIPE, SIGXCPU}) sigaddset(&defaults, signal);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  const std::string cpu = "--verify-cpu-seconds=" + std::to_string(options.cpu_seconds);
  const char* argv[] = {options.program.c_str(), "verify", cpu.c_str(), "-", nullptr};
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, options.program.c_str(), &actions, &attributes,
                                  const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) {
    refused.error = "cannot start the replay's check: " + std::string(std::strerror(spawned));
    return refused;
  }
  if (started) started(pid);
  child_in.Close();
  child_out.Close();
  fcntl(write_end.fd, F_SETFL, O_NONBLOCK);
  fcntl(read_end.fd, F_SETFL, O_NONBLOCK);

  // Feed the replay and collect the answer together, so neither side waits on a full pipe,
  // until the child closes its output or the deadline passes.
  const auto deadline = std::chrono::steady_clock::now() + options.deadline;
  std::string output;
  size_t written = 0;
  bool timed_out = false;
  if (bytes.empty()) write_end.Close();
  while (read_end.fd >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timed_out = true;
      break;
    }
    pollfd fds[2] = {{read_end.fd, POLLIN, 0}, {write_end.fd, POLLOUT, 0}};
    const int ready = poll(fds, write_end.fd >= 0 ? 2 : 1, static_cast<int>(left.count()));
    if (ready < 0 && errno != EINTR) break;
    if (write_end.fd >= 0 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
      const ssize_t n = write(write_end.fd, bytes.data() + written, bytes.size() - written);
      if (n > 0) written += static_cast<size_t>(n);
      if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == bytes.size()) {
        write_end.Close();
      }
    }
    if ((fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
      char buffer[1024];
      const ssize_t n = read(read_end.fd, buffer, sizeof buffer);
      if (n > 0 && output.size() < kMaxChildOutput) output.append(buffer, static_cast<size_t>(n));
      if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) read_end.Close();
    }
  }
  if (timed_out) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (timed_out) {
    refused.error = "the replay took too long to play back";
    return refused;
  }
  return FromChildLine(output, status);
}

ReplayVerifier::ReplayVerifier(Store& store, VerifierOptions options,
                               Verdict verdict)
    : store_(store), options_(std::move(options)), verdict_(std::move(verdict)) {
  const int workers = std::max(1, options_.workers);
  for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
}

ReplayVerifier::~ReplayVerifier() { Stop(); }

void ReplayVerifier::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    jobs_.clear();
    for (const pid_t child : children_) kill(child, SIGKILL);
  }
  wake_.notify_all();
  idle_.notify_all();
  for (std::thread& worker : workers_) {
    if (worker.joinable()) worker.join();
  }
}

bool ReplayVerifier::HasRoom() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !stopping_ && jobs_.size() < options_.queue;
}

void ReplayVerifier::Enqueue(const ScoreRow& row, std::string bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back({row, std::move(bytes)});
  }
  wake_.notify_one();
}

void ReplayVerifier::WaitIdle() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return (jobs_.empty() && busy_ == 0) || stopping_; });
}

void ReplayVerifier::Work() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
      ++busy_;
    }
    pid_t mine = -1;
    const ReplayOutcome outcome = PlayInChild(job.bytes, options_, [this, &mine](pid_t child) {
      std::lock_guard<std::mutex> lock(mutex_);
      mine = child;
      children_.push_back(child);
      // A stop that came while the child was starting ends it too.
      if (stopping_) kill(child, SIGKILL);
    });
    {
      std::lock_guard<std::mutex> lock(mutex_);
      // The child has been waited for, so its id is no longer ours to signal.
      children_.erase(std::remove(children_.begin(), children_.end(), mine), children_.end());
      if (stopping_) {
        --busy_;
        idle_.notify_all();
        return;
      }
    }
    std::string why = outcome.error;
    if (outcome.ok && outcome.score != job.row.score) {
      why = "the replay ends with " + std::to_string(outcome.score) + " points, the row has " +
            std::to_string(job.row.score);
    } else if (outcome.ok && outcome.name != job.row.name) {
      why = "the replay was recorded under another name";
    }
    const bool verified = outcome.ok && why.empty();
    try {
      store_.FinishReplay(job.row.id, verified);
    } catch (const StoreError& error) {
      // The row stays unverified: the replay is lost, never a wrong mark.
      why = error.what();
    }
    if (verdict_) verdict_(job.row, verified && why.empty(), why);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      --busy_;
      if (jobs_.empty() && busy_ == 0) idle_.notify_all();
    }
  }
}

}  // namespace starmoat::server
