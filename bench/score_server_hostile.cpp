// Hostile load for a running starmoat-scores on the loopback (bench/hostile_clients.sh runs it).
//
//   score_server_hostile hold PORT PID [--idle 500] [--slow 500] [--seconds 20]
//     holds idle connections (they send nothing) and slow-header connections (a header line a
//     second, never finishing) from many 127.x addresses, opening a new one for each the
//     server closes, while one player after another makes a whole submission (a token, then
//     the result) on a fresh connection. Prints the submissions' p50/p99/max latency, the
//     connections held, and the server's VmRSS: the most seen while held and after letting go.
//
//   score_server_hostile acked PORT FILE [--clients 8] [--seconds 10]
//     submits without pause and appends the name of every result answered 200 to FILE, one a
//     line; failures (a server that is down) are counted and retried. Stops after --seconds or
//     as soon as FILE.stop exists. For durability runs.
#include <arpa/inet.h>
#include <fcntl.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "persistence/score_codec.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

long RssKiB(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

// A non-blocking connection from the given 127.x address; -1 when it fails.
int Connect(int port, const std::string& from) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in source{}, target{};
  source.sin_family = target.sin_family = AF_INET;
  inet_pton(AF_INET, from.c_str(), &source.sin_addr);
  inet_pton(AF_INET, "127.0.0.1", &target.sin_addr);
  target.sin_port = htons(static_cast<uint16_t>(port));
  if (bind(fd, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
      connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
    close(fd);
    return -1;
  }
  fcntl(fd, F_SETFL, O_NONBLOCK);
  return fd;
}

// True while the server has neither closed nor answered the connection.
bool StillHeld(int fd) {
  char byte;
  const ssize_t got = recv(fd, &byte, 1, MSG_PEEK);
  return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

// Letters only, as names must be; distinct for every (client, n).
std::string NameFor(int client, long n) {
  std::string name(1, static_cast<char>('A' + client % 26));
  for (long v = n; name.size() < 9; v /= 26) name.push_back(static_cast<char>('a' + v % 26));
  return name;
}

bool Submit(httplib::Client& http, const std::string& name, long n) {
  const auto token = http.Get(kTokenPath);
  if (!token || token->status != 200) return false;
  const std::string payload = BuildPayload(name, static_cast<int32_t>(n % 100000),
                                           TokenFromReply(token->body), "Hostland");
  const auto result = http.Get(kResultPath + BitsToText32(BytesToBits(payload)));
  return result && result->status == 200;
}

double Percentile(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return 0;
  return sorted[std::min(sorted.size() - 1, static_cast<size_t>(p * sorted.size()))];
}

int Hold(int port, int pid, int idle_count, int slow_count, double seconds) {
  struct Held {
    int fd = -1;
    bool slow = false;
    std::string from;
  };
  // Ten connections an address: a real crowd, not one address over its limit.
  std::vector<Held> held;
  for (int i = 0; i < idle_count + slow_count; ++i) {
    Held h;
    h.slow = i >= idle_count;
    h.from = "127.1." + std::to_string(1 + i / 10 / 250) + "." + std::to_string(1 + i / 10 % 250);
    held.push_back(h);
  }
  long reopened = 0;
  auto open_one = [&](Held& h) {
    if (h.fd >= 0) close(h.fd);
    h.fd = Connect(port, h.from);
    if (h.fd >= 0 && h.slow) send(h.fd, "GET /healthz HTTP/1.1\r\nHost: x\r\n", 32, MSG_NOSIGNAL);
  };
  for (Held& h : held) open_one(h);

  std::atomic<bool> done{false};
  std::vector<double> latencies;
  long failed = 0;
  std::thread player([&] {
    for (long n = 0; !done; ++n) {
      httplib::Client http("127.0.0.1", port);
      http.set_keep_alive(true);
      http.set_tcp_nodelay(true);
      http.set_connection_timeout(5);
      http.set_read_timeout(10);
      const auto t0 = Clock::now();
      const bool ok = Submit(http, NameFor(0, n), n);
      const auto t1 = Clock::now();
      if (ok) {
        latencies.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
      } else {
        ++failed;
      }
      std::this_thread::sleep_for(20ms);
    }
  });

  long rss_max = 0;
  int least_held = idle_count + slow_count;
  const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(seconds));
  auto next_line = Clock::now();
  while (Clock::now() < end) {
    rss_max = std::max(rss_max, RssKiB(pid));
    const bool send_line = Clock::now() >= next_line;
    if (send_line) next_line += 1s;
    int holding = 0;
    for (Held& h : held) {
      if (h.fd >= 0 && StillHeld(h.fd)) {
        ++holding;
        if (send_line && h.slow) send(h.fd, "X-Slow: a\r\n", 11, MSG_NOSIGNAL);
      } else {
        ++reopened;
        open_one(h);
        if (h.fd >= 0) ++holding;
      }
    }
    least_held = std::min(least_held, holding);
    std::this_thread::sleep_for(100ms);
  }
  done = true;
  player.join();
  for (Held& h : held) {
    if (h.fd >= 0) close(h.fd);
  }
  std::this_thread::sleep_for(3s);  // the server notices the closes and lets go
  const long rss_after = RssKiB(pid);

  std::sort(latencies.begin(), latencies.end());
  std::printf(
      "%d idle + %d slow-header connections held (at least %d at once; %ld opened again after the "
      "server closed them) for %.0f s: %zu submissions, p50 %.2f ms, p99 %.2f ms, max %.2f ms, "
      "%ld failed; server VmRSS at most %.1f MB while held, %.1f MB after\n",
      idle_count, slow_count, least_held, reopened, seconds, latencies.size(),
      Percentile(latencies, 0.5), Percentile(latencies, 0.99),
      latencies.empty() ? 0.0 : latencies.back(), failed, rss_max / 1024.0, rss_after / 1024.0);
  return failed == 0 ? 0 : 1;
}

int Acked(int port, const std::string& file, int clients, double seconds) {
  std::mutex mutex;
  std::ofstream out(file, std::ios::app);
  std::atomic<long> acked{0}, failed{0};
  const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(seconds));
  const long run = static_cast<long>(std::time(nullptr) % 100000);
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c) {
    threads.emplace_back([&, c] {
      httplib::Client http("127.0.0.1", port);
      http.set_keep_alive(true);
      http.set_connection_timeout(1);
      http.set_read_timeout(5);
      const std::string stop = file + ".stop";
      for (long n = 0; Clock::now() < end && access(stop.c_str(), F_OK) != 0; ++n) {
        const std::string name = NameFor(c, run * 1'000'000 + n);
        if (Submit(http, name, n)) {
          std::lock_guard<std::mutex> lock(mutex);
          out << name << '\n' << std::flush;
          ++acked;
        } else {
          ++failed;
          std::this_thread::sleep_for(20ms);
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::printf("%ld results acknowledged, %ld attempts failed\n", acked.load(), failed.load());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: score_server_hostile hold PORT PID [--idle N] [--slow N] [--seconds S]\n"
                 "       score_server_hostile acked PORT FILE [--clients N] [--seconds S]\n");
    return 2;
  }
  const std::string mode = argv[1];
  const int port = std::atoi(argv[2]);
  int idle = 500, slow = 500, clients = 8;
  double seconds = mode == "hold" ? 20 : 10;
  for (int i = 4; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--idle") idle = std::atoi(argv[i + 1]);
    else if (option == "--slow") slow = std::atoi(argv[i + 1]);
    else if (option == "--seconds") seconds = std::atof(argv[i + 1]);
    else if (option == "--clients") clients = std::atoi(argv[i + 1]);
  }
  if (mode == "hold") return Hold(port, std::atoi(argv[3]), idle, slow, seconds);
  if (mode == "acked") return Acked(port, argv[3], clients, seconds);
  std::fprintf(stderr, "score_server_hostile: mode is hold or acked\n");
  return 2;
}
