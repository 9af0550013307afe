#include "command_line.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <charconv>
#include <cmath>
#include <iomanip>
#include <map>
#include <ostream>
#include <thread>
#include <vector>

#include "http_front.h"
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
                                     "--max-per-address", "--head-timeout", "--web-root"};

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
    if (word == "--help" || word == "-h" || word == "--version") {
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
               "--web-root"},
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
    if (line.command.empty()) throw UsageError{"no command given (serve, list or delete)"};
    throw UsageError{"unknown command \"" + line.command + "\" (serve, list or delete)"};
  } catch (const UsageError& error) {
    err << "starmoat-scores: " << error.message << "; see starmoat-scores --help" << std::endl;
    return 2;
  } catch (const std::exception& error) {
    err << "starmoat-scores: " << error.what() << std::endl;
    return 1;
  }
}

}  // namespace starmoat::server
