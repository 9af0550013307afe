#include "command_line.h"

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>

#include <atomic>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iomanip>
#include <map>
#include <ostream>
#include <thread>
#include <vector>

#include "http_front.h"
#include "replay_verifier.h"
#include "score_protocol.h"
#include "store.h"
#include "web_text.h"

namespace starmoat::server {

namespace {

constexpr const char* kUsage =
    "Usage: starmoat-scores COMMAND [OPTIONS]\n"
    "\n"
    "The world high-score server of Starmoat.\n"
    "\n"
    "Commands:\n"
    "  serve              answer the game, the world table page and /api/scores\n"
    "  list               show the newest scores, with their ids\n"
    "  delete ID          remove one score\n"
    "  verify FILE        play a replay file (- for standard input) and say what it scored\n"
    "\n"
    "Options:\n"
    "  --database PATH|URL    SQLite file, or a postgresql:// URL (default: scores.sqlite)\n"
    "  --listen HOST:PORT     address to serve on (default: 127.0.0.1:8077; port 0: any)\n"
    "  --max-score N          refuse results above N (default: 10000000)\n"
    "  --rate-limit N         tokens per address in one window, 0 for no limit (default: 30)\n"
    "  --rate-window SECONDS  length of that window (default: 60)\n"
    "  --threads N            requests answered from the store at once (default: 32)\n"
    "  --max-connections N    open connections in all (default: 10000)\n"
    "  --max-per-address N    open connections from one client address (default: 64)\n"
    "  --head-timeout SECONDS time for a whole request to come in (default: 10)\n"
    "  --web-root DIR         serve the game's web build in DIR at /play/ (default: none)\n"
    "  --limit N              rows that list shows (default: 20)\n"
    "  --show-unverified      the world page and /api/scores show the scores no replay has\n"
    "                         verified too (marked); without it they need &all=1\n"
    "  --verify-workers N     replays played back at once, one child process each\n"
    "                         (default: half the processors, at least 1)\n"
    "  --verify-queue N       replays waiting to be played back, past them 503 (default: 64)\n"
    "  --verify-cpu-seconds N CPU time one replay may take, for serve and verify (default: 10)\n"
    "  --max-replay-bytes N   larger replays are refused unread (default: 131072)\n"
    "  --help                 show this text\n"
    "  --version              show the version\n";

// A wrong command line: the message goes out as one line, with exit status 2.
struct UsageError {
  std::string message;
};

struct CommandLine {
  std::string command;
  std::vector<std::string> arguments;
  std::map<std::string, std::string> options;
};

// Options that take a value; every other "--" word is wrong.
const char* const kValueOptions[] = {"--database", "--listen",  "--max-score", "--rate-limit",
                                     "--rate-window", "--threads", "--limit", "--max-connections",
                                     "--max-per-address", "--head-timeout", "--web-root",
                                     "--verify-workers", "--verify-queue", "--verify-cpu-seconds",
                                     "--max-replay-bytes"};

bool TakesValue(const std::string& option) {
  for (const char* known : kValueOptions) {
    if (option == known) return true;
  }
  return false;
}

CommandLine Parse(int argc, const char* const* argv) {
  CommandLine line;
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    if (word == "--help" || word == "-h" || word == "--version" || word == "--show-unverified") {
      line.options[word] = "";
      continue;
    }
    if (word.rfind("--", 0) == 0) {
      std::string value;
      const size_t equals = word.find('=');
      const bool inline_value = equals != std::string::npos;
      if (inline_value) {
        value = word.substr(equals + 1);
        word.erase(equals);
      }
      if (!TakesValue(word)) throw UsageError{"unknown option " + word};
      if (!inline_value) {
        if (i + 1 >= argc) throw UsageError{word + " needs a value"};
        value = argv[++i];
      }
      if (line.options.count(word) != 0) throw UsageError{word + " is given twice"};
      line.options[word] = value;
      continue;
    }
    if (line.command.empty()) {
      line.command = word;
    } else {
      line.arguments.push_back(word);
    }
  }
  return line;
}

int64_t WholeNumber(const CommandLine& line, const std::string& option, int64_t fallback,
                    int64_t low, int64_t high) {
  const auto found = line.options.find(option);
  if (found == line.options.end()) return fallback;
  const std::string& text = found->second;
  int64_t value = 0;
  const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || rest != text.data() + text.size() || value < low ||
      value > high) {
    throw UsageError{option + " wants a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not \"" + text + "\""};
  }
  return value;
}

std::chrono::steady_clock::duration Seconds(const CommandLine& line, const std::string& option,
                                            double fallback) {
  double seconds = fallback;
  if (const auto found = line.options.find(option); found != line.options.end()) {
    const std::string& text = found->second;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (text.empty() || error != std::errc() || rest != text.data() + text.size() ||
        !std::isfinite(seconds) || seconds <= 0 || seconds > 86400) {
      throw UsageError{option + " wants a number of seconds above 0, not \"" + text + "\""};
    }
  }
  return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(seconds));
}

// "127.0.0.1:8077", "[::1]:8077", "localhost:0".
void ParseListen(const std::string& text, FrontOptions& options) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) {
    throw UsageError{"--listen wants HOST:PORT, not \"" + text + "\""};
  }
  std::string host = text.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  const std::string port = text.substr(colon + 1);
  int value = 0;
  const auto [rest, error] = std::from_chars(port.data(), port.data() + port.size(), value);
  if (host.empty() || port.empty() || error != std::errc() || rest != port.data() + port.size() ||
      value < 0 || value > 65535) {
    throw UsageError{"--listen wants HOST:PORT with a port from 0 to 65535, not \"" + text +
                     "\""};
  }
  options.host = host;
  options.port = value;
}

// Only the options the command uses are allowed with it.
void Allow(const CommandLine& line, std::initializer_list<const char*> allowed,
           size_t arguments) {
  for (const auto& [option, value] : line.options) {
    bool known = false;
    for (const char* name : allowed) known = known || option == name;
    if (!known) throw UsageError{option + " does not go with " + line.command};
  }
  if (line.arguments.size() != arguments) {
    throw UsageError{line.command + (arguments == 0 ? " takes no arguments"
                                                    : " takes exactly one argument")};
  }
}

std::string Database(const CommandLine& line) {
  const auto found = line.options.find("--database");
  if (found == line.options.end()) return "scores.sqlite";
  if (found->second.empty()) throw UsageError{"--database must not be empty"};
  return found->second;
}

// For the start-up line: a PostgreSQL URL may carry a password.
std::string DatabaseForHumans(const std::string& database) {
  return database.find("://") != std::string::npos ? "PostgreSQL" : database;
}

int Serve(const CommandLine& line, std::ostream& out) {
  Allow(line, {"--database", "--listen", "--max-score", "--rate-limit", "--rate-window",
               "--threads", "--max-connections", "--max-per-address", "--head-timeout",
               "--web-root", "--show-unverified", "--verify-workers", "--verify-queue",
               "--verify-cpu-seconds", "--max-replay-bytes"},
        0);
  FrontOptions options;
  if (const auto found = line.options.find("--listen"); found != line.options.end()) {
    ParseListen(found->second, options);
  }
  options.threads = static_cast<int>(WholeNumber(line, "--threads", 32, 1, 1024));
  options.max_connections =
      static_cast<int>(WholeNumber(line, "--max-connections", 10000, 1, 1'000'000));
  options.max_connections_per_address =
      static_cast<int>(WholeNumber(line, "--max-per-address", 64, 1, 1'000'000));
  options.head_timeout = std::chrono::duration_cast<std::chrono::milliseconds>(
      Seconds(line, "--head-timeout", 10));
  options.protocol.max_score = WholeNumber(line, "--max-score", 10'000'000, 0, INT64_MAX);
  options.protocol.rate_limit = static_cast<int>(WholeNumber(line, "--rate-limit", 30, 0, 1'000'000));
  options.protocol.rate_window = Seconds(line, "--rate-window", 60);
  options.protocol.show_unverified = line.options.count("--show-unverified") != 0;
  options.verifier.workers = static_cast<int>(WholeNumber(
      line, "--verify-workers",
      std::max(1, static_cast<int>(std::thread::hardware_concurrency() / 2)), 1, 256));
  options.verifier.queue =
      static_cast<size_t>(WholeNumber(line, "--verify-queue", 64, 0, 1'000'000));
  options.verifier.cpu_seconds =
      static_cast<int>(WholeNumber(line, "--verify-cpu-seconds", 10, 1, 3600));
  // The wall-clock deadline leaves a child waiting for the processor time to get its share.
  options.verifier.deadline = std::chrono::seconds(options.verifier.cpu_seconds * 3 + 5);
  options.verifier.max_bytes =
      static_cast<size_t>(WholeNumber(line, "--max-replay-bytes", 131072, 64, 4 << 20));
  const std::string database = Database(line);
  if (const auto found = line.options.find("--web-root"); found != line.options.end()) {
    if (found->second.empty()) throw UsageError{"--web-root must not be empty"};
    options.web_root = WebRoot::Load(found->second);
    options.protocol.play_link = true;
  }

  // SIGTERM and SIGINT are taken by one thread with sigwait; every other thread (the workers
  // start later and inherit this mask) leaves them alone.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  std::unique_ptr<Store> store = OpenStore(database);
  HttpFront front(*store, options);
  front.Bind();
  out << "starmoat-scores " << kServerVersion << " listening on http://"
      << (options.host.find(':') != std::string::npos ? "[" + options.host + "]" : options.host)
      << ":" << front.port() << " (database " << DatabaseForHumans(database) << ")" << std::endl;

  std::atomic<bool> finished{false};
  std::thread waiter([&front, &stop_signals, &out, &finished] {
    int signal = 0;
    sigwait(&stop_signals, &signal);
    if (finished) return;  // woken by the main thread: the server already stopped
    out << "starmoat-scores: " << (signal == SIGINT ? "SIGINT" : "SIGTERM")
        << ", finishing the requests in flight" << std::endl;
    front.Stop();
  });
  front.Run();
  finished = true;
  pthread_kill(waiter.native_handle(), SIGTERM);
  waiter.join();
  store.reset();
  out << "starmoat-scores: stopped" << std::endl;
  return 0;
}

int List(const CommandLine& line, std::ostream& out) {
  Allow(line, {"--database", "--limit"}, 0);
  const int limit = static_cast<int>(WholeNumber(line, "--limit", 20, 1, 1'000'000));
  // Read-only: a mistyped path must not leave an empty database behind, and an operator may
  // look at a file they cannot write.
  std::unique_ptr<Store> store = OpenStore(Database(line), OpenMode::ReadOnly);
  out << std::setw(8) << "id" << "  " << std::left << std::setw(20) << "date (UTC)"
      << std::right << std::setw(10) << "score" << "  " << std::left << std::setw(12) << "name"
      << "country" << std::right << "\n";
  for (const ScoreRow& row : store->List(limit)) {
    // Names and countries are client text: control bytes must not reach the terminal.
    out << std::setw(8) << row.id << "  " << std::left << std::setw(20)
        << UtcDateTime(row.created_unix) << std::right << std::setw(10) << row.score << "  "
        << std::left << std::setw(12) << LogSafe(row.name) << LogSafe(row.country) << std::right
        << "\n";
  }
  return 0;
}

int Delete(const CommandLine& line, std::ostream& out, std::ostream& err) {
  Allow(line, {"--database"}, 1);
  const std::string& text = line.arguments[0];
  int64_t id = 0;
  const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (text.empty() || error != std::errc() || rest != text.data() + text.size() || id <= 0) {
    throw UsageError{"delete wants the id of a score (a whole number from 1), not \"" + text +
                     "\""};
  }
  std::unique_ptr<Store> store = OpenStore(Database(line), OpenMode::Existing);
  if (!store->Delete(id)) {
    err << "starmoat-scores: no score with id " << id << std::endl;
    return 1;
  }
  out << "deleted score " << id << std::endl;
  return 0;
}

// The child the server starts for each replay, and an operator's check of a file: the replay
// is read whole (at most 4 MiB), played under the CPU limit, and the verdict is one line.
int Verify(const CommandLine& line, std::ostream& out, std::ostream& err) {
  Allow(line, {"--verify-cpu-seconds"}, 1);
  const int cpu_seconds =
      static_cast<int>(WholeNumber(line, "--verify-cpu-seconds", 10, 1, 3600));
  const rlimit cpu{static_cast<rlim_t>(cpu_seconds), static_cast<rlim_t>(cpu_seconds) + 1};
  if (setrlimit(RLIMIT_CPU, &cpu) != 0) {
    err << "starmoat-scores: cannot limit the CPU time: " << std::strerror(errno) << std::endl;
    return 1;
  }
  constexpr size_t kMostBytes = 4u << 20;
  const std::string& path = line.arguments[0];
  std::ifstream file;
  std::istream* in = &std::cin;
  if (path != "-") {
    file.open(path, std::ios::binary);
    if (!file) {
      err << "starmoat-scores: cannot read " << path << ": " << std::strerror(errno) << std::endl;
      return 1;
    }
    in = &file;
  }
  std::string bytes;
  char buffer[65536];
  while (bytes.size() <= kMostBytes && in->read(buffer, sizeof buffer).gcount() > 0) {
    bytes.append(buffer, static_cast<size_t>(in->gcount()));
  }
  std::string verdict;
  const int status = bytes.size() > kMostBytes
                         ? (verdict = "refused: the replay is larger than 4 MiB", 1)
                         : VerifyCommand(bytes, verdict);
  out << verdict << std::endl;
  return status;
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  try {
    const CommandLine line = Parse(argc, argv);
    if (line.options.count("--help") != 0 || line.options.count("-h") != 0) {
      out << kUsage;
      return 0;
    }
    if (line.options.count("--version") != 0) {
      out << "starmoat-scores " << kServerVersion << std::endl;
      return 0;
    }
    if (line.command == "serve") return Serve(line, out);
    if (line.command == "list") return List(line, out);
    if (line.command == "delete") return Delete(line, out, err);
    if (line.command == "verify") return Verify(line, out, err);
    if (line.command.empty()) throw UsageError{"no command given (serve, list, delete or verify)"};
    throw UsageError{"unknown command \"" + line.command + "\" (serve, list, delete or verify)"};
  } catch (const UsageError& error) {
    err << "starmoat-scores: " << error.message << "; see starmoat-scores --help" << std::endl;
    return 2;
  } catch (const std::exception& error) {
    err << "starmoat-scores: " << error.what() << std::endl;
    return 1;
  }
}

}  // namespace starmoat::server
