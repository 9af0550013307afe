#include "shell/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, OnlyHelpAndVersionAreAccepted) {
  struct Case {
    std::vector<std::string> arguments;
    CommandLine::Action action;
    std::string problem;
  };
  const Case cases[] = {
      {{}, CommandLine::kRun, ""},
      {{"--help"}, CommandLine::kHelp, ""},
      {{"-h"}, CommandLine::kHelp, ""},
      {{"--version"}, CommandLine::kVersion, ""},
      {{"--version", "--help"}, CommandLine::kHelp, ""},
      {{"--fullscreen"}, CommandLine::kUsageError, "unknown option '--fullscreen'"},
      {{"--help", "-x"}, CommandLine::kUsageError, "unknown option '-x'"},
      {{"--Help"}, CommandLine::kUsageError, "unknown option '--Help'"},
      {{"savegame"}, CommandLine::kUsageError, "unexpected argument 'savegame'"},
      {{"-"}, CommandLine::kUsageError, "unexpected argument '-'"},
      {{""}, CommandLine::kUsageError, "unexpected argument ''"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& a : c.arguments) shown += "[" + a + "]";
    SCOPED_TRACE(shown);
    const CommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.action, c.action);
    EXPECT_EQ(parsed.problem, c.problem);
  }
}

TEST(CommandLine, HelpStartsWithTheUsageLineAndNamesBothOptions) {
  const std::string help = HelpText();
  EXPECT_EQ(help.rfind(UsageLine() + "\n", 0), 0u);
  EXPECT_NE(help.find("--help"), std::string::npos);
  EXPECT_NE(help.find("--version"), std::string::npos);
  EXPECT_NE(help.find(".local/share/starmoat"), std::string::npos);
  EXPECT_NE(help.find("STARMOAT_SCORE_HOST (host[:port])"), std::string::npos);
  EXPECT_EQ(VersionText().rfind("starmoat ", 0), 0u);
  EXPECT_GT(VersionText().size(), std::string("starmoat ").size());
}
