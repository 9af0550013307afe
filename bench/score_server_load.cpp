// Load for a running starmoat-scores on the loopback: N clients, each on its own keep-alive
// connection, for a fixed time. Mode "submit" is what a player's game does (a token, then the
// result with it); mode "page" fetches the world table page. Prints one line: requests (or
// submissions) per second, p50 and p99 latency, and any failures. With --replay FILE every
// stored result is sent under that replay's name and score and followed by the replay, as
// the game does; the upload's 202 (queued for checking) and 503 (queue full) are counted.
// Mode "record" writes a ten-minute game of the autopilot, named "Bench", to FILE.
//
//   score_server_load submit|page PORT [--clients 16] [--seconds 5] [--warmup 1]
//                     [--replay FILE]
//   score_server_load record FILE
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <fstream>
#include <iterator>
#include <memory>

#include "fakes/autopilot.h"
#include "game/frame_input.h"
#include "game/game.h"
#include "persistence/score_codec.h"
#include "persistence/score_submission.h"
#include "replay/fingerprint.h"
#include "replay/replay_file.h"

namespace {

using Clock = std::chrono::steady_clock;

struct ClientResult {
  std::vector<double> latencies_ms;  // one per completed operation in the measured window
  long failures = 0;
  std::string first_failure;
  long replays_queued = 0, replays_busy = 0;
};

// The replay sent after each result, with the name and score its row must carry.
struct Upload {
  std::string bytes, name;
  int32_t score = 0;
};

// Ten minutes of the autopilot (or less, if it loses first), quit by "Exit game?".
std::string RecordTenMinutes() {
  constexpr uint32_t kFrames = 10 * 60 * 64;
  TReplay r;
  r.GameVersion = ReplayGameVersion();
  r.Seed = 1;
  r.StartTick = 100000;
  r.Name = "Bench";
  Game = std::make_unique<TGame>(r.Seed, r.StartTick);
  Autopilot pilot;
  const uint8_t still[20] = {};
  for (uint64_t k = 1; !Game->Finished && k < 4 * kFrames; ++k) {
    TFrameInput input{static_cast<uint32_t>(r.StartTick + k * 125 / 8),
                      ControlsFromDevices(pilot.Decide(*Game), still)};
    if (k == kFrames) input.Controls |= kCtlQuit;
    r.Frames.push_back(input);
    Game->Update(input, nullptr);
    if (Game->Frames % kFingerprintInterval == 0) {
      r.Checks.push_back(static_cast<uint32_t>(GameFingerprint(*Game)));
    }
  }
  r.Score = Game->Score;
  r.Fingerprint = GameFingerprint(*Game);
  Game.reset();
  std::fprintf(stderr, "recorded %zu frames, score %d\n", r.Frames.size(), r.Score);
  return EncodeReplay(r);
}

// A name the server accepts (1-10 letters), different from client to client.
std::string NameFor(int client, long n) {
  std::string name = "B";
  for (long v = client * 100000L + n; name.size() < 8; v /= 26) name.push_back('A' + v % 26);
  return name;
}

// One operation; false (with why) when any reply was not 200.
bool Submit(httplib::Client& http, int client, long n, const Upload* upload,
            ClientResult& mine, std::string* why) {
  auto token = http.Get(kTokenPath);
  if (!token || token->status != 200) {
    *why = token ? "token: HTTP " + std::to_string(token->status) + " " + token->body
                 : "token: " + httplib::to_string(token.error());
    return false;
  }
  const std::string spent = TokenFromReply(token->body);
  const std::string payload =
      upload ? BuildPayload(upload->name, upload->score, spent, "Benchland")
             : BuildPayload(NameFor(client, n), static_cast<int32_t>(n * 37 % 100000), spent,
                            "Benchland");
  auto result = http.Get(kResultPath + BitsToText32(BytesToBits(payload)));
  if (!result || result->status != 200) {
    *why = result ? "result: HTTP " + std::to_string(result->status) + " " + result->body
                  : "result: " + httplib::to_string(result.error());
    return false;
  }
  if (!upload) return true;
  auto sent = http.Post(kReplayUploadPath + spent, upload->bytes, "application/octet-stream");
  if (sent && sent->status == 202) {
    ++mine.replays_queued;
  } else if (sent && sent->status == 503) {
    ++mine.replays_busy;
  } else {
    *why = sent ? "replay: HTTP " + std::to_string(sent->status) + " " + sent->body
                : "replay: " + httplib::to_string(sent.error());
    return false;
  }
  return true;
}

bool Page(httplib::Client& http, std::string* why) {
  auto page = http.Get(kWorldTablePath);
  if (!page || page->status != 200) {
    *why = page ? "page: HTTP " + std::to_string(page->status)
                : "page: " + httplib::to_string(page.error());
    return false;
  }
  return true;
}

double Percentile(std::vector<double>& sorted, double p) {
  if (sorted.empty()) return 0;
  const size_t index = std::min(sorted.size() - 1, static_cast<size_t>(p * sorted.size()));
  return sorted[index];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: score_server_load submit|page PORT [--clients N] [--seconds S] "
                 "[--warmup S]\n");
    return 2;
  }
  const std::string mode = argv[1];
  if (mode == "record") {
    std::ofstream(argv[2], std::ios::binary) << RecordTenMinutes();
    return 0;
  }
  const int port = std::atoi(argv[2]);
  std::unique_ptr<Upload> upload;
  int clients = 16;
  double seconds = 5, warmup = 1;
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--clients") clients = std::atoi(argv[i + 1]);
    else if (option == "--seconds") seconds = std::atof(argv[i + 1]);
    else if (option == "--warmup") warmup = std::atof(argv[i + 1]);
    else if (option == "--replay") {
      std::ifstream in(argv[i + 1], std::ios::binary);
      upload = std::make_unique<Upload>();
      upload->bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      const TReplayRead read = DecodeReplay(upload->bytes.data(), upload->bytes.size());
      if (!read.Ok) {
        std::fprintf(stderr, "score_server_load: %s: %s\n", argv[i + 1], read.Error.c_str());
        return 2;
      }
      upload->name = read.Replay.Name;
      upload->score = read.Replay.Score;
    }
  }
  if (mode != "submit" && mode != "page") {
    std::fprintf(stderr, "score_server_load: mode is submit or page\n");
    return 2;
  }

  const Clock::time_point start = Clock::now();
  const Clock::time_point measure_from =
      start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(warmup));
  const Clock::time_point end =
      measure_from +
      std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  std::vector<ClientResult> results(static_cast<size_t>(clients));
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c) {
    threads.emplace_back([&, c] {
      ClientResult& mine = results[static_cast<size_t>(c)];
      httplib::Client http("127.0.0.1", port);
      http.set_keep_alive(true);
      http.set_tcp_nodelay(true);  // as curl, the game's client, does
      http.set_connection_timeout(5);
      http.set_read_timeout(10);
      for (long n = 0;; ++n) {
        const Clock::time_point t0 = Clock::now();
        if (t0 >= end) break;
        std::string why;
        ClientResult counted;
        const bool ok =
            mode == "submit" ? Submit(http, c, n, upload.get(), counted, &why) : Page(http, &why);
        const Clock::time_point t1 = Clock::now();
        if (t0 < measure_from) continue;
        mine.replays_queued += counted.replays_queued;
        mine.replays_busy += counted.replays_busy;
        if (ok) {
          mine.latencies_ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        } else if (mine.failures++ == 0) {
          mine.first_failure = why;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  std::vector<double> all;
  long failures = 0, queued = 0, busy = 0;
  std::string first_failure;
  for (ClientResult& r : results) {
    queued += r.replays_queued;
    busy += r.replays_busy;
    all.insert(all.end(), r.latencies_ms.begin(), r.latencies_ms.end());
    failures += r.failures;
    if (first_failure.empty()) first_failure = r.first_failure;
  }
  std::sort(all.begin(), all.end());
  std::printf("%s%s: %d clients, %.0f s: %zu done, %.0f/s, p50 %.2f ms, p99 %.2f ms, %ld failed%s%s\n",
              mode.c_str(), upload ? " + replay" : "", clients, seconds, all.size(),
              all.size() / seconds,
              Percentile(all, 0.50), Percentile(all, 0.99), failures,
              first_failure.empty() ? "" : " (first: ", first_failure.empty() ? "" : (first_failure + ")").c_str());
  if (upload) {
    std::printf("  replays: %ld queued for checking (202), %ld refused for a full queue (503)\n",
                queued, busy);
  }
  return failures == 0 ? 0 : 1;
}
