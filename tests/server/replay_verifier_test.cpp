// The verifier's child process as the server sees it when things go wrong: a child that never
// answers is killed at its deadline, one that answers nonsense or cannot start is a refusal,
// never a verified row.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "replay_verifier.h"

namespace starmoat::server {
namespace {

TEST(ReplayChild, ChildrenThatFailAreRefusals) {
  std::string folder = std::filesystem::temp_directory_path() / "starmoat-verifier-XXXXXX";
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  const auto script = [&folder](const std::string& name, const std::string& body) {
    const std::string path = folder + "/" + name;
    std::ofstream(path) << "#!/bin/sh\ncat >/dev/null\n" << body << "\n";
    chmod(path.c_str(), 0755);
    return path;
  };
  struct Case {
    const char* what;
    std::string program;
    std::string error;
  };
  const Case cases[] = {
      {"never answers", script("hang", "exec sleep 30"), "the replay took too long to play back"},
      {"answers nonsense", script("nonsense", "echo 'ok score=lots frames=1'"),
       "the replay's check answered nonsense"},
      {"fails without a word", script("fails", "exit 3"), "the replay's check failed"},
      {"is killed", script("killed", "kill -SEGV $$"), "the replay's check ended with signal 11"},
      {"cannot start", folder + "/missing", "cannot start the replay's check"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VerifierOptions options;
    options.program = c.program;
    options.deadline = std::chrono::milliseconds(300);
    const ReplayOutcome outcome = PlayInChild(std::string(5000, 'x'), options);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.error.rfind(c.error, 0), 0u) << outcome.error;
  }
  VerifierOptions small;
  small.max_bytes = 10;
  EXPECT_EQ(PlayInChild(std::string(11, 'x'), small).error, "the replay is larger than 10 bytes");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace starmoat::server
