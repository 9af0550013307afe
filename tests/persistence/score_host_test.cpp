#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "persistence/score_submission.h"
#include "shell/program_state.h"

namespace {

// Sets the environment variable for one test and puts back what was there before.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnvironment() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace

TEST(ScoreHost, EnvironmentValueOverridesTheBuildDefaultOnlyWhenNotEmpty) {
  struct Case {
    const char* environmentValue;
    std::string host;
  };
  const Case cases[] = {
      {nullptr, STARMOAT_SCORE_HOST},
      {"", STARMOAT_SCORE_HOST},
      {"127.0.0.1:40123", "127.0.0.1:40123"},
      {"scores.example.org", "scores.example.org"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.environmentValue ? c.environmentValue : "(unset)");
    EXPECT_EQ(ChooseScoreHost(c.environmentValue), c.host);
  }
}

TEST(ScoreHost, StartUpReadsTheVariableAndRequestsGoThere) {
  ResetProgramState();
  {
    ScopedEnvironment env("STARMOAT_SCORE_HOST", "127.0.0.1:40123");
    UseScoreHostFromEnvironment();
    EXPECT_EQ(ScoreServerUrl(kTokenPath), "http://127.0.0.1:40123//cgi/version.pl?version&prg=Starmoat");
    EXPECT_EQ(WorldTableUrl(), "http://127.0.0.1:40123//cgi/version.pl?prg=Starmoat&show&type=0");
  }
  {
    ScopedEnvironment env("STARMOAT_SCORE_HOST", nullptr);
    UseScoreHostFromEnvironment();
    EXPECT_EQ(ScoreHost, STARMOAT_SCORE_HOST);
  }
  ResetProgramState();
}
