// starmoat-scores as the operator runs it: the real executable, its command line, its exit
// status, and a stop by SIGTERM in the middle of traffic.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <sqlite3.h>

#include <atomic>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <thread>

#include "persistence/score_codec.h"
#include "server/scores_process.h"
#include <httplib.h>
#include "server/store_suite.h"

namespace starmoat::server {
namespace {

class ScoresCommand : public ::testing::Test {
 protected:
  void SetUp() override { database_ = backend_.fresh_database(); }
  void TearDown() override { backend_.drop_database(database_); }

  std::string Folder() const { return std::filesystem::path(database_).parent_path(); }

  // Starts serve on a free port and returns its port, read from the start-up line.
  int StartServing(ScoresProcess& process) {
    const std::string line = process.ReadLine();
    std::smatch match;
    if (!std::regex_search(line, match, std::regex("listening on http://127\\.0\\.0\\.1:(\\d+)"))) {
      process.Signal(SIGKILL);
      ADD_FAILURE() << "no start-up line: " << line << process.Errors();
      return 0;
    }
    return std::stoi(match[1]);
  }

  StoreBackend backend_ = SqliteBackend();
  std::string database_;
};

TEST_F(ScoresCommand, HelpAndVersion) {
  ScoresProcess help({"--help"});
  EXPECT_EQ(help.Wait(), 0);
  const std::string text = help.Output();
  for (const char* word : {"serve", "list", "delete ID", "--listen", "--database", "--max-score",
                           "--rate-limit", "--rate-window", "--limit"}) {
    EXPECT_NE(text.find(word), std::string::npos) << word;
  }
  ScoresProcess version({"--version"});
  EXPECT_EQ(version.Wait(), 0);
  EXPECT_TRUE(std::regex_match(version.Output(), std::regex("starmoat-scores \\d+\\.\\d+\\.\\d+\n")));
}

TEST_F(ScoresCommand, WrongCommandLinesAndRefusedDatabasesEndWithOneLine) {
  // A port that is taken: a listening socket of this test.
  const int taken = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(taken, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  socklen_t length = sizeof address;
  getsockname(taken, reinterpret_cast<sockaddr*>(&address), &length);
  ASSERT_EQ(listen(taken, 1), 0);
  const std::string busy = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));

  const std::string text_file = Folder() + "/notes.txt";
  std::ofstream(text_file) << "these are not scores\n" << std::string(2000, '#');
  const std::string foreign = Folder() + "/other.sqlite";
  {
    sqlite3* db = nullptr;
    sqlite3_open(foreign.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE customers (id INTEGER);", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }

  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {{}, 2, "no command given"},
      {{"launch"}, 2, "unknown command \"launch\""},
      {{"serve", "--bogus"}, 2, "unknown option --bogus"},
      {{"serve", "--listen"}, 2, "--listen needs a value"},
      {{"serve", "--listen", "8077"}, 2, "--listen wants HOST:PORT"},
      {{"serve", "--listen", "127.0.0.1:70000"}, 2, "port from 0 to 65535"},
      {{"serve", "--max-score", "lots"}, 2, "--max-score wants a whole number"},
      {{"serve", "--rate-limit", "-1"}, 2, "--rate-limit wants a whole number"},
      {{"serve", "--rate-window", "0"}, 2, "--rate-window wants a number of seconds"},
      {{"serve", "--limit", "5"}, 2, "--limit does not go with serve"},
      {{"serve", "extra"}, 2, "serve takes no arguments"},
      {{"list", "--limit", "0"}, 2, "--limit wants a whole number"},
      {{"delete"}, 2, "delete takes exactly one argument"},
      {{"delete", "seven"}, 2, "delete wants the id of a score"},
      {{"verify"}, 2, "verify takes exactly one argument"},
      {{"verify", "-", "--verify-cpu-seconds", "0"}, 2, "--verify-cpu-seconds wants a whole number"},
      {{"serve", "--verify-workers", "0"}, 2, "--verify-workers wants a whole number"},
      {{"serve", "--show-unverified=yes"}, 2, "unknown option --show-unverified"},
      {{"verify", Folder() + "/no-such.smr"}, 1, "cannot read " + Folder() + "/no-such.smr"},
      {{"serve", "--listen", busy, "--database", database_}, 1, busy + ": Address already in use"},
      {{"serve", "--listen", "127.0.0.1:0", "--database", text_file}, 1, "not a database"},
      {{"list", "--database", foreign}, 1, "not a Starmoat score database"},
      {{"list", "--database", Folder() + "/no/such/folder.sqlite"}, 1, "no such database file"},
      {{"delete", "999", "--database", database_}, 1, "no score with id 999"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& word : c.arguments) shown += word + " ";
    ScoresProcess process(c.arguments);
    ASSERT_TRUE(process.started());
    EXPECT_EQ(process.Wait(), c.status) << shown;
    const std::string errors = process.Errors();
    EXPECT_EQ(errors.rfind("starmoat-scores: ", 0), 0u) << shown << errors;
    EXPECT_NE(errors.find(c.message), std::string::npos) << shown << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << shown << errors;
  }
  close(taken);
}

TEST_F(ScoresCommand, ListShowsTheNewestRowsAndDeleteRemovesOne) {
  {
    std::unique_ptr<Store> store = OpenStore(database_);
    for (const char* name : {"Ann", "Bob", "Cy\x1b[2J"}) {
      store->IssueToken(name, "127.0.0.1", 1'800'000'000);
      store->Submit(name, 1'800'000'000, 900, {name, "Peru", 100, "127.0.0.1"});
    }
  }
  ScoresProcess list({"list", "--database", database_, "--limit", "2"});
  EXPECT_EQ(list.Wait(), 0);
  const std::string rows = list.Output();
  EXPECT_NE(rows.find("Cy\\x1B[2J"), std::string::npos) << rows;  // no escape reaches the terminal
  EXPECT_EQ(rows.find('\x1b'), std::string::npos);
  EXPECT_NE(rows.find("Bob"), std::string::npos);
  EXPECT_EQ(rows.find("Ann"), std::string::npos);  // beyond --limit
  EXPECT_NE(rows.find("2027-01-15T08:00:00Z"), std::string::npos) << rows;

  std::smatch match;
  ASSERT_TRUE(std::regex_search(rows, match, std::regex("\\s(\\d+)\\s+\\S+\\s+100\\s+Bob")));
  ScoresProcess remove({"delete", match[1], "--database", database_});
  EXPECT_EQ(remove.Wait(), 0);
  EXPECT_NE(remove.Output().find("deleted score " + match[1].str()), std::string::npos);

  std::unique_ptr<Store> store = OpenStore(database_);
  EXPECT_EQ(store->Count(""), 2);
  for (const ScoreRow& row : store->Top("", 10, 0)) EXPECT_NE(row.name, "Bob");
}

TEST_F(ScoresCommand, AMistypedDatabaseIsNamedAndNeverCreated) {
  const std::string typo = Folder() + "/scroes.sqlite";
  const std::string nowhere = Folder() + "/no/such/scores.sqlite";
  struct Case {
    std::vector<std::string> arguments;
    std::string error;  // the whole of standard error
  };
  const Case cases[] = {
      {{"list", "--database", typo}, typo + ": no such database file"},
      {{"delete", "3", "--database", typo}, typo + ": no such database file"},
      {{"list", "--database", nowhere}, nowhere + ": no such database file"},
      {{"serve", "--listen", "127.0.0.1:0", "--database", nowhere},
       Folder() + "/no/such: no such folder for the database scores.sqlite"},
  };
  for (const Case& c : cases) {
    ScoresProcess process(c.arguments);
    EXPECT_EQ(process.Wait(), 1) << c.arguments[0];
    EXPECT_EQ(process.Errors(), "starmoat-scores: " + c.error + "\n") << c.arguments[0];
    EXPECT_FALSE(std::filesystem::exists(typo)) << c.arguments[0];
    EXPECT_FALSE(std::filesystem::exists(Folder() + "/no")) << c.arguments[0];
  }
}

TEST_F(ScoresCommand, ListReadsADatabaseFileItCannotWrite) {
  {
    std::unique_ptr<Store> store = OpenStore(database_);
    store->IssueToken("t", "127.0.0.1", 1'800'000'000);
    store->Submit("t", 1'800'000'000, 900, {"Ann", "Peru", 100, "127.0.0.1"});
  }
  namespace fs = std::filesystem;
  fs::permissions(database_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // SQLite keeps its shared-memory index in a file beside the database, so the folder stays
  // open to the reader; the database file itself is read-only.
  fs::permissions(Folder(), fs::perms::all);
  auto content = [this] {
    std::ifstream in(database_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string before = content();
  // Root may write any file, so there the commands run as nobody.
  std::vector<std::string> run_as;
  if (geteuid() == 0) {
    run_as = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
  }
  ScoresProcess list({"list", "--database", database_}, run_as);
  EXPECT_EQ(list.Wait(), 0) << list.Errors();
  EXPECT_NE(list.Output().find("Ann"), std::string::npos);
  ScoresProcess remove({"delete", "1", "--database", database_}, run_as);
  EXPECT_EQ(remove.Wait(), 1);
  EXPECT_EQ(remove.Errors(), "starmoat-scores: " + database_ + ": the file is read-only\n");
  EXPECT_EQ(content(), before);

  // A folder the reader may not write either, with no server running: SQLite cannot make
  // its shared-memory file there, and the file is read as it stands.
  fs::remove(database_ + "-wal");
  fs::remove(database_ + "-shm");
  fs::permissions(Folder(), fs::perms::owner_read | fs::perms::owner_exec |
                                fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
  ScoresProcess at_rest({"list", "--database", database_}, run_as);
  EXPECT_EQ(at_rest.Wait(), 0) << at_rest.Errors();
  EXPECT_NE(at_rest.Output().find("Ann"), std::string::npos);
  fs::permissions(Folder(), fs::perms::owner_all);
  EXPECT_EQ(content(), before);
}

// Letters only, as names must be: thread t's n-th name.
std::string LetterName(int thread, int n) {
  std::string name(1, static_cast<char>('A' + thread));
  do {
    name.push_back(static_cast<char>('a' + n % 26));
    n /= 26;
  } while (n > 0);
  return name;
}

TEST_F(ScoresCommand, SigtermDuringSubmissionsKeepsEveryAnsweredResult) {
  ScoresProcess server({"serve", "--listen", "127.0.0.1:0", "--database", database_,
                        "--rate-limit", "0"});
  const int port = StartServing(server);
  ASSERT_GT(port, 0);

  constexpr int kClients = 4;
  std::atomic<int> answered{0};
  std::atomic<bool> a_client_ended{false};
  std::vector<std::vector<std::string>> stored(kClients);
  std::vector<std::thread> clients;
  for (int t = 0; t < kClients; ++t) {
    clients.emplace_back([&, t] {
      httplib::Client client("127.0.0.1", port);
      client.set_connection_timeout(2);
      client.set_read_timeout(5);
      for (int n = 0; n < 5000; ++n) {
        const httplib::Result token = client.Get(kTokenPath);
        if (!token || token->status != 200) break;
        const std::string name = LetterName(t, n);
        const httplib::Result result = client.Get(
            kResultPath + BitsToText32(BytesToBits(BuildPayload(name, n, TokenFromReply(token->body), "Peru"))));
        if (!result) break;
        if (result->status == 200) {
          stored[t].push_back(name);
          ++answered;
        }
      }
      a_client_ended = true;
    });
  }
  // Stop in the middle of the stream: once a good number of results have been answered.
  while (answered < 200 && !a_client_ended) std::this_thread::yield();
  server.Signal(SIGTERM);
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(server.Wait(), 0) << server.Errors();
  const std::string output = server.Output();
  EXPECT_NE(output.find("SIGTERM, finishing the requests in flight"), std::string::npos);
  EXPECT_NE(output.find("starmoat-scores: stopped"), std::string::npos);
  ASSERT_GE(answered.load(), 200);

  // Restarted on the same file, the server has every answered result.
  ScoresProcess again({"serve", "--listen", "127.0.0.1:0", "--database", database_});
  const int port_again = StartServing(again);
  ASSERT_GT(port_again, 0);
  httplib::Client client("127.0.0.1", port_again);
  std::set<std::string> names;
  for (int offset = 0;; offset += 100) {
    const httplib::Result page = client.Get("/api/scores?all=1&limit=100&offset=" + std::to_string(offset));
    ASSERT_TRUE(page && page->status == 200);
    const nlohmann::json rows = nlohmann::json::parse(page->body)["scores"];
    for (const nlohmann::json& row : rows) names.insert(row["name"].get<std::string>());
    if (rows.size() < 100) break;
  }
  int missing = 0;
  for (const std::vector<std::string>& list : stored) {
    for (const std::string& name : list) missing += names.count(name) == 0 ? 1 : 0;
  }
  EXPECT_EQ(missing, 0) << "of " << answered.load() << " answered results";
  again.Signal(SIGINT);
  EXPECT_EQ(again.Wait(), 0);
}

}  // namespace
}  // namespace starmoat::server
