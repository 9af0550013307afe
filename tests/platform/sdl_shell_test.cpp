#include "platform/sdl/sdl_shell.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

// A stand-in opener that writes its argument count and arguments, one per line, to a file.
class SdlShellTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("starmoat_shell_" + std::to_string(getpid()));
    fs::create_directories(dir_);
    opener_ = dir_ / "opener.sh";
    log_ = dir_ / "log.txt";
    std::ofstream(opener_) << "#!/bin/sh\n{ echo $#; for a in \"$@\"; do echo \"$a\"; done; } > '"
                           << (dir_ / "partial").string() << "'\nmv '" << (dir_ / "partial").string()
                           << "' '" << log_.string() << "'\n";
    fs::permissions(opener_, fs::perms::owner_all);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The opener runs detached: wait for its record to appear.
  std::string Record() {
    for (int i = 0; i < 500 && !fs::exists(log_); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(log_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path dir_, opener_, log_;
};

TEST_F(SdlShellTest, AUrlGoesToTheOpenerAsOneArgument) {
  platform::SdlShell shell(opener_.string());
  const std::string url = "http://example.invalid/a b;$(touch x)&c='d'";
  EXPECT_TRUE(shell.Open(url));
  EXPECT_EQ(Record(), "1\n" + url + "\n");
}

TEST_F(SdlShellTest, AnExistingFileIsOpenedAndAMissingOneIsNot) {
  platform::SdlShell shell(opener_.string());
  EXPECT_FALSE(shell.Open((dir_ / "missing.url").string()));
  EXPECT_FALSE(shell.Open(""));
  const fs::path file = dir_ / "-companion file.url";
  std::ofstream(file) << "x";
  const fs::path old = fs::current_path();
  fs::current_path(dir_);
  const bool opened = shell.Open("-companion file.url");
  fs::current_path(old);
  EXPECT_TRUE(opened);
  // A leading dash would read as an option of the opener.
  EXPECT_EQ(Record(), "1\n./-companion file.url\n");
}

TEST_F(SdlShellTest, AMissingOpenerIsAFailure) {
  platform::SdlShell shell((dir_ / "no-such-opener").string());
  EXPECT_FALSE(shell.Open("http://example.invalid/"));
}

}  // namespace
