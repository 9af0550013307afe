// The game's replay follows its stored result to the server, which plays it back in a child
// process and marks the row verified only when the game ends with exactly that score under
// exactly that name. The page and the list show verified rows unless asked for all.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "fakes/autopilot.h"
#include "game/frame_input.h"
#include "game/game.h"
#include "persistence/score_codec.h"
#include "persistence/score_submission.h"
#include "replay/fingerprint.h"
#include "replay/replay_file.h"
#include "server/live_server.h"

namespace starmoat::server {
namespace {

struct Recorded {
  TReplay replay;
  std::vector<size_t> playing;  // frames stepped while the ship was in play
};

// One short game headless, the autopilot at the keys until it gives up at stage 2, recorded
// as the game records it, under `name`.
Recorded Record(uint32_t seed, const std::string& name) {
  Recorded r;
  r.replay.GameVersion = ReplayGameVersion();
  r.replay.Seed = seed;
  r.replay.StartTick = 5000;
  r.replay.Name = name;
  Game = std::make_unique<TGame>(r.replay.Seed, r.replay.StartTick);
  Autopilot pilot(2);
  const uint8_t still[20] = {};
  for (uint64_t k = 1; !Game->Finished && k < 64 * 60 * 20; ++k) {
    const TFrameInput input{static_cast<uint32_t>(r.replay.StartTick + k * 125 / 8),
                            ControlsFromDevices(pilot.Decide(*Game), still)};
    if (Game->Status == gsPlaying) r.playing.push_back(r.replay.Frames.size());
    r.replay.Frames.push_back(input);
    Game->Update(input, nullptr);
    if (Game->Frames % kFingerprintInterval == 0) {
      r.replay.Checks.push_back(static_cast<uint32_t>(GameFingerprint(*Game)));
    }
  }
  r.replay.Score = Game->Score;
  r.replay.Fingerprint = GameFingerprint(*Game);
  Game.reset();
  return r;
}

// On both stores: the SQLite file and a schema in the PostgreSQL cluster.
class ReplayUpload : public ::testing::TestWithParam<StoreBackend> {
 protected:
  void SetUp() override {
    live_ = std::make_unique<LiveServer>(FrontOptions{}, GetParam());
    if (!live_->available()) GTEST_SKIP() << GetParam().name << " is not available";
  }

  std::string FetchToken() {
    const httplib::Result reply = live_->Get(kTokenPath);
    EXPECT_TRUE(reply && reply->status == 200);
    return reply ? TokenFromReply(reply->body) : "";
  }
  // Stores a result as the game sends it; returns its token.
  std::string StoreResult(const std::string& name, int64_t score) {
    const std::string token = FetchToken();
    const std::string payload =
        BuildPayload(name, static_cast<int32_t>(score), token, "Xvfbland");
    const httplib::Result reply = live_->Get(kResultPath + BitsToText32(BytesToBits(payload)));
    EXPECT_TRUE(reply && reply->status == 200) << (reply ? reply->body : "no reply");
    return token;
  }
  int PostReplay(const std::string& token, const std::string& bytes) {
    httplib::Client client("127.0.0.1", live_->port());
    const httplib::Result reply = client.Post(std::string(kReplayUploadPath) + token, bytes,
                                              "application/octet-stream");
    return reply ? reply->status : -1;
  }
  nlohmann::json Api(const std::string& query = "") {
    const httplib::Result reply = live_->Get("/api/scores" + query);
    EXPECT_TRUE(reply && reply->status == 200);
    return reply ? nlohmann::json::parse(reply->body) : nlohmann::json();
  }
  std::string Page(const std::string& extra = "") {
    const httplib::Result reply = live_->Get(std::string(kWorldTablePath) + extra);
    EXPECT_TRUE(reply && reply->status == 200);
    return reply ? reply->body : "";
  }
  // The verdict lines of the log, once there are `verdicts` of them.
  std::vector<std::string> Verdicts(size_t verdicts) {
    std::vector<std::string> found;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (found.size() < verdicts && std::chrono::steady_clock::now() < deadline) {
      found.clear();
      for (const std::string& line : live_->AccessLog(0)) {
        if (line.rfind("replay of score ", 0) == 0) found.push_back(line);
      }
      if (found.size() < verdicts) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return found;
  }

  std::unique_ptr<LiveServer> live_;
};

TEST_P(ReplayUpload, TheGamesReplayVerifiesItsRowWhichThenShowsWithAMarkAndItsReplay) {
  const Recorded game = Record(7, "Ace");
  const std::string bytes = EncodeReplay(game.replay);
  const std::string token = StoreResult("Ace", game.replay.Score);
  // Stored, but no replay has proved it yet.
  EXPECT_EQ(Api()["total"], 0);
  EXPECT_EQ(Api("?all=1")["scores"][0]["verified"], false);
  EXPECT_NE(Page().find("No verified scores yet"), std::string::npos);

  ASSERT_EQ(PostReplay(token, bytes), 202);
  const std::vector<std::string> verdicts = Verdicts(1);
  ASSERT_EQ(verdicts.size(), 1u);
  EXPECT_NE(verdicts[0].find(": verified"), std::string::npos) << verdicts[0];

  const nlohmann::json list = Api();
  ASSERT_EQ(list["total"], 1);
  const nlohmann::json& row = list["scores"][0];
  EXPECT_EQ(row["name"], "Ace");
  EXPECT_EQ(row["score"], game.replay.Score);
  EXPECT_EQ(row["verified"], true);
  const std::string link = row["replay"];
  const httplib::Result download = live_->Get(link);
  ASSERT_TRUE(download);
  EXPECT_EQ(download->status, 200);
  EXPECT_EQ(download->body, bytes);
  EXPECT_NE(download->get_header_value("Content-Disposition").find("attachment"),
            std::string::npos);

  const std::string page = Page();
  EXPECT_NE(page.find("<td class=\"name\">Ace<span class=\"mark\""), std::string::npos) << page;
  EXPECT_NE(page.find("href=\"" + link + "\""), std::string::npos);
  EXPECT_NE(page.find("1 verified score<"), std::string::npos);
  // Another replay for the same result is refused, and changes nothing.
  EXPECT_EQ(PostReplay(token, bytes), 409);
}

TEST_P(ReplayUpload, ForgedResultsNeverShowOnTheDefaultPage) {
  const Recorded game = Record(7, "Ace");
  const Recorded other = Record(8, "Ace");
  ASSERT_NE(game.replay.Score, other.replay.Score);
  ASSERT_GT(game.playing.size(), 100u);
  TReplay edited = game.replay;
  edited.Frames[game.playing[game.playing.size() / 2]].Controls ^= kCtlLeft;

  // The genuine game, for contrast: verified.
  ASSERT_EQ(PostReplay(StoreResult("Ace", game.replay.Score), EncodeReplay(game.replay)), 202);
  // A result sent without any replay.
  StoreResult("Nobody", 9'999'999);
  struct Forgery {
    const char* what;
    std::string name;
    int64_t score;
    std::string bytes;
  };
  const std::vector<Forgery> forgeries = {
      {"a replay edited by one input bit", "Ace", game.replay.Score, EncodeReplay(edited)},
      {"a replay of another game", "Ace", game.replay.Score, EncodeReplay(other.replay)},
      {"a real game under another name", "Bob", game.replay.Score, EncodeReplay(game.replay)},
      {"a higher score than the replay's", "Ace", game.replay.Score + 1000,
       EncodeReplay(game.replay)},
      {"garbage", "Mallory", 5000, "not a replay at all, just some bytes"},
  };
  for (const Forgery& f : forgeries) {
    SCOPED_TRACE(f.what);
    const std::string token = StoreResult(f.name, f.score);
    EXPECT_EQ(PostReplay(token, f.bytes), 202);
    // The refused replay was that row's one chance.
    EXPECT_EQ(PostReplay(token, EncodeReplay(game.replay)), 409);
  }
  // No row for the token, no token, too large.
  EXPECT_EQ(PostReplay("NoSuchToken", EncodeReplay(game.replay)), 404);
  EXPECT_EQ(PostReplay("", EncodeReplay(game.replay)), 400);
  EXPECT_EQ(PostReplay(StoreResult("Huge", 10), std::string(300 * 1024, 'x')), 413);

  const std::vector<std::string> verdicts = Verdicts(1 + forgeries.size());
  ASSERT_EQ(verdicts.size(), 1 + forgeries.size());
  size_t refused = 0;
  for (const std::string& line : verdicts) refused += line.find(": refused: ") != std::string::npos;
  EXPECT_EQ(refused, forgeries.size());

  const nlohmann::json list = Api();
  EXPECT_EQ(list["total"], 1);
  ASSERT_EQ(list["scores"].size(), 1u);
  EXPECT_EQ(list["scores"][0]["name"], "Ace");
  EXPECT_EQ(list["scores"][0]["score"], game.replay.Score);
  const std::string page = Page();
  for (const char* name : {"Nobody", "Bob", "Mallory", "Huge"}) {
    EXPECT_EQ(page.find(name), std::string::npos) << name;
  }
  EXPECT_EQ(page.find("9999999"), std::string::npos);
  // Asked for all, every row is there, and only one is marked.
  const nlohmann::json all = Api("?all=1");
  EXPECT_EQ(all["total"], 3 + forgeries.size());
  int verified = 0;
  for (const nlohmann::json& row : all["scores"]) verified += row["verified"] == true;
  EXPECT_EQ(verified, 1);
  const std::string every = Page("&all=1");
  EXPECT_NE(every.find("Nobody"), std::string::npos);
  EXPECT_NE(every.find("class=\"unverified\""), std::string::npos);
  EXPECT_NE(every.find(std::to_string(3 + forgeries.size()) + " scores<"), std::string::npos);
}

// A server stopped while replays wait for their verdict (being played, or queued) leaves them
// claimed in the store; the next server on that store checks them when it starts.
TEST_P(ReplayUpload, ReplaysAStopLeftUncheckedAreCheckedByTheNextStart) {
  const Recorded game = Record(7, "Ace");
  TReplay edited = game.replay;
  edited.Frames[game.playing[game.playing.size() / 2]].Controls ^= kCtlLeft;
  // As the last run left them: results stored, replays claimed, no verdict.
  ScoreRow real, forged;
  ASSERT_EQ(live_->store().ClaimReplay(StoreResult("Ace", game.replay.Score),
                                       EncodeReplay(game.replay), &real),
            ReplayClaim::Claimed);
  ASSERT_EQ(live_->store().ClaimReplay(StoreResult("Ace", game.replay.Score), EncodeReplay(edited),
                                       &forged),
            ReplayClaim::Claimed);
  ASSERT_EQ(live_->store().ClaimedReplays().size(), 2u);

  std::mutex mutex;
  std::vector<std::string> log;
  FrontOptions options;
  options.host = "127.0.0.1";
  options.port = 0;
  options.verifier.program = STARMOAT_SCORES_EXE;
  options.access_log = [&](const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex);
    log.push_back(line);
  };
  HttpFront next(live_->store(), options);
  next.Bind();
  std::thread running([&] { next.Run(); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!live_->store().ClaimedReplays().empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  next.Stop();
  running.join();

  EXPECT_TRUE(live_->store().ClaimedReplays().empty());
  const nlohmann::json list = Api();
  ASSERT_EQ(list["total"], 1);
  EXPECT_EQ(list["scores"][0]["id"], real.id);
  EXPECT_EQ(Api("?all=1")["total"], 2);
  const std::lock_guard<std::mutex> lock(mutex);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0], "replays left from the last run: 2, checking 2 now");
}

INSTANTIATE_TEST_SUITE_P(Sqlite, ReplayUpload, ::testing::Values(SqliteBackend()), BackendName);
INSTANTIATE_TEST_SUITE_P(Postgresql, ReplayUpload, ::testing::Values(PostgresqlBackend()),
                         BackendName);

}  // namespace
}  // namespace starmoat::server
