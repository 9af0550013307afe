// The world table page in a real browser: headless Chromium loads it from the running server,
// its rendered DOM is checked, and screenshots (desktop and phone width) are kept next to the
// test executable as world_page_desktop.png and world_page_phone.png.
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "persistence/score_codec.h"
#include "server/live_server.h"

extern char** environ;

namespace starmoat::server {
namespace {

constexpr const char* kChromium = "/usr/bin/chromium";

// Runs a command with its standard output in a file; its exit status, or -1 when it had to be
// killed after a minute.
int RunCommand(const std::vector<std::string>& command, const std::string& output_file) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> words = command;
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class WorldPageInBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access(kChromium, X_OK) != 0) GTEST_SKIP() << "chromium is not installed";
    std::string folder = std::filesystem::temp_directory_path() / "starmoat-browser-XXXXXX";
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    folder_ = folder;
  }
  void TearDown() override {
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
  }

  // Chromium with a fresh profile, nothing fetched but the page.
  int Chromium(const std::vector<std::string>& extra, const std::string& url,
               const std::string& output) {
    std::vector<std::string> command = {
        kChromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
        "--no-first-run", "--disable-background-networking", "--disable-component-update",
        "--disable-sync", "--hide-scrollbars", "--user-data-dir=" + folder_ + "/profile"};
    command.insert(command.end(), extra.begin(), extra.end());
    command.push_back(url);
    return RunCommand(command, output);
  }

  // Sends a result the way the game does: token, then the encoded payload.
  void Submit(const std::string& name, int32_t score, const std::string& country) {
    const httplib::Result token = server_.Get(kTokenPath);
    ASSERT_TRUE(token && token->status == 200);
    const httplib::Result stored = server_.Get(
        kResultPath +
        BitsToText32(BytesToBits(BuildPayload(name, score, TokenFromReply(token->body), country))));
    ASSERT_TRUE(stored && stored->status == 200) << (stored ? stored->body : "no reply");
  }

  // Every row is shown: these rows come with no replay.
  LiveServer server_{[] {
    FrontOptions options;
    options.protocol.show_unverified = true;
    return options;
  }()};
  std::string folder_;
};

TEST_F(WorldPageInBrowser, ChromiumRendersTheRowsInOrderWithPlayerTextAsText) {
  const struct {
    const char* name;
    int32_t score;
    const char* country;
  } players[] = {{"Nova", 120500, "New Zealand"}, {"Kestrel", 98000, "Peru"},
                 {"Vega", 240100, "Japan"},       {"Zed", 5000, "<script>alert(1)</script>"},
                 {"Orion", 98000, "Norway"},      {"Ace", 0, ""}};
  for (const auto& p : players) Submit(p.name, p.score, p.country);

  const std::string url = "http://" + server_.host() + kWorldTablePath;
  const std::string dom_file = folder_ + "/dom.html";
  ASSERT_EQ(Chromium({"--dump-dom"}, url, dom_file), 0);
  const std::string dom = ReadFile(dom_file);

  std::vector<std::string> names;
  const std::regex row("<tr[^>]*><td class=\"rank\">(\\d+)</td><td class=\"name\">([^<]*)</td>");
  for (auto it = std::sregex_iterator(dom.begin(), dom.end(), row); it != std::sregex_iterator();
       ++it) {
    names.push_back((*it)[1].str() + "." + (*it)[2].str());
  }
  // Equal scores: the older row first.
  EXPECT_EQ(names, (std::vector<std::string>{"1.Vega", "2.Nova", "3.Kestrel", "4.Orion", "5.Zed",
                                             "6.Ace"}))
      << dom.substr(0, 2000);
  // The browser built no script element from the country; it shows it as text.
  EXPECT_EQ(dom.find("<script"), std::string::npos);
  EXPECT_NE(dom.find("&lt;script&gt;alert(1)&lt;/script&gt;</a>"), std::string::npos);
  EXPECT_NE(dom.find("Page 1 of 1"), std::string::npos);

  for (const auto& [file, size] : {std::pair<std::string, std::string>{"world_page_desktop.png", "1000,900"},
                                   {"world_page_phone.png", "390,844"}}) {
    std::filesystem::remove(file);
    ASSERT_EQ(Chromium({"--screenshot=" + std::filesystem::absolute(file).string(),
                        "--window-size=" + size, "--run-all-compositor-stages-before-draw"},
                       url, folder_ + "/screenshot.log"),
              0)
        << file;
    const std::string png = ReadFile(file);
    ASSERT_GT(png.size(), 8u) << file;
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n") << file;
  }
}

}  // namespace
}  // namespace starmoat::server
