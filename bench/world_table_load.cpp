// Latency of the world table on a running starmoat-scores (loopback), for
// bench/world_table.sh. Each kind of request is one URL: the world's first, middle and last
// listed page, a country's first and last listed page, /api/scores at the top and at its
// deepest offset.
//
//   world_table_load warm PORT [--samples 200] [--country Germany]
//       every kind SAMPLES times, one at a time; p50, p99 and the slowest
//   world_table_load once PORT KIND [--country Germany]
//       one request of one kind (after a restart: a cold read); its milliseconds
//   world_table_load flood PORT [--clients 8] [--seconds 10] [--country Germany]
//       CLIENTS clients ask for random deep pages and deep JSON as fast as they can while the
//       world's first page is measured, first rendered afresh each time, then as served
//
// The server keeps a rendered page for up to a second, and drops them all when it stores a
// result. So that every page measured is really read from the store and rendered, a page
// sample is preceded by a submission of its own (a token and a result, not timed); the JSON
// is never kept, and is measured as it is.
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "persistence/score_codec.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Kind {
  std::string name;
  std::string path;
  bool page;  // a cached page, as opposed to the JSON
};

std::vector<Kind> Kinds(const std::string& country) {
  const std::string world = kWorldTablePath;
  return {
      {"world page 1", world, true},
      {"world page 50", world + "&page=50", true},
      {"world page 100 (last listed)", world + "&page=100", true},
      {"country page 1", world + "&country=" + country, true},
      {"country page 100 (last listed)", world + "&country=" + country + "&page=100", true},
      {"/api/scores offset 0", "/api/scores?limit=100", false},
      {"/api/scores offset 9900", "/api/scores?limit=100&offset=9900", false},
  };
}

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "world_table_load: %s\n", why.c_str());
  std::exit(1);
}

void Connect(httplib::Client& http) {
  http.set_keep_alive(true);
  http.set_tcp_nodelay(true);
  http.set_connection_timeout(5);
  http.set_read_timeout(30);
}

// Stores a score of 0 (the foot of the table, so the pages measured keep their rows); the
// server then drops the pages it kept.
void Submit(httplib::Client& http, long n) {
  auto token = http.Get(kTokenPath);
  if (!token || token->status != 200) Fail("token refused (is --rate-limit 0 set?)");
  std::string name = "Bench";
  for (long v = n; name.size() < 10; v /= 26) name.push_back(static_cast<char>('a' + v % 26));
  auto result = http.Get(kResultPath + BitsToText32(BytesToBits(
                             BuildPayload(name, 0, TokenFromReply(token->body), "Benchland"))));
  if (!result || result->status != 200) Fail("result refused");
}

double TimedGet(httplib::Client& http, const std::string& path) {
  const Clock::time_point t0 = Clock::now();
  auto reply = http.Get(path);
  const Clock::time_point t1 = Clock::now();
  if (!reply || reply->status != 200) {
    Fail(path + ": " + (reply ? "HTTP " + std::to_string(reply->status) + " " + reply->body
                              : httplib::to_string(reply.error())));
  }
  return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

double Percentile(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return 0;
  return sorted[std::min(sorted.size() - 1, static_cast<size_t>(p * sorted.size()))];
}

void PrintLatencies(const std::string& what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("  %-32s %5zu samples  p50 %7.2f ms  p99 %7.2f ms  max %7.2f ms\n", what.c_str(),
              ms.size(), Percentile(ms, 0.50), Percentile(ms, 0.99), ms.empty() ? 0 : ms.back());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) Fail("usage: world_table_load warm|once|flood PORT [KIND] [options]");
  const std::string mode = argv[1];
  const int port = std::atoi(argv[2]);
  int first_option = 3;
  std::string kind_name;
  if (mode == "once") {
    if (argc < 4) Fail("once wants a KIND");
    kind_name = argv[3];
    first_option = 4;
  }
  int samples = 200, clients = 8;
  double seconds = 10;
  std::string country = "Germany";
  for (int i = first_option; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--samples") samples = std::atoi(argv[i + 1]);
    else if (option == "--clients") clients = std::atoi(argv[i + 1]);
    else if (option == "--seconds") seconds = std::atof(argv[i + 1]);
    else if (option == "--country") country = argv[i + 1];
    else Fail("unknown option " + option);
  }
  const std::vector<Kind> kinds = Kinds(country);
  httplib::Client http("127.0.0.1", port);
  Connect(http);

  if (mode == "once") {
    for (const Kind& kind : kinds) {
      if (kind.name == kind_name) {
        std::printf("%.2f\n", TimedGet(http, kind.path));
        return 0;
      }
    }
    Fail("no kind named " + kind_name);
  }

  long submitted = 0;
  if (mode == "warm") {
    for (const Kind& kind : kinds) {
      for (int i = 0; i < 5; ++i) TimedGet(http, kind.path);  // warm-up, not counted
      std::vector<double> ms;
      for (int i = 0; i < samples; ++i) {
        if (kind.page) Submit(http, submitted++);
        ms.push_back(TimedGet(http, kind.path));
      }
      PrintLatencies(kind.name, ms);
    }
    return 0;
  }

  if (mode == "flood") {
    std::atomic<bool> stop{false};
    std::atomic<long> flood_requests{0};
    std::vector<std::thread> flood;
    for (int c = 0; c < clients; ++c) {
      flood.emplace_back([&, c] {
        httplib::Client mine("127.0.0.1", port);
        Connect(mine);
        std::mt19937 random(static_cast<unsigned>(c));
        const std::string world = kWorldTablePath;
        while (!stop) {
          const int page = std::uniform_int_distribution<int>(51, 100)(random);
          std::string path;
          switch (random() % 3) {
            case 0: path = world + "&page=" + std::to_string(page); break;
            case 1: path = world + "&country=" + country + "&page=" + std::to_string(page); break;
            default:
              path = "/api/scores?limit=100&offset=" +
                     std::to_string(std::uniform_int_distribution<int>(5000, 9900)(random));
          }
          TimedGet(mine, path);
          ++flood_requests;
        }
      });
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the flood in full swing
    // First every sample a fresh render (a submission before each), then page 1 as players
    // get it, from the pages the server keeps for a second.
    for (const bool fresh : {true, false}) {
      const long before = flood_requests;
      const Clock::time_point start = Clock::now();
      const Clock::time_point end =
          start +
          std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
      std::vector<double> ms;
      while (Clock::now() < end) {
        if (fresh) Submit(http, submitted++);
        ms.push_back(TimedGet(http, kinds[0].path));
      }
      const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
      PrintLatencies(fresh ? "world page 1, each rendered" : "world page 1, as served", ms);
      std::printf("  (meanwhile %d clients got %.0f deep pages and JSON a second)\n", clients,
                  (flood_requests - before) / elapsed);
    }
    stop = true;
    for (std::thread& thread : flood) thread.join();
    return 0;
  }
  Fail("mode is warm, once or flood");
}
