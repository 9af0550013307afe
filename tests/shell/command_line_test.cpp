#include "shell/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, OnlyHelpVersionAndReplayAreAccepted) {
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
      {{"--replay"}, CommandLine::kUsageError, "--replay needs a file"},
      {{"--replay", ""}, CommandLine::kUsageError, "--replay needs a file"},
      {{"--replay", "a.smr", "--replay", "b.smr"}, CommandLine::kUsageError, "only one --replay"},
      {{"--replay", "a.smr", "b.smr"}, CommandLine::kUsageError, "unexpected argument 'b.smr'"},
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

TEST(CommandLine, ReplayTakesTheNextArgumentAsItsFileWhateverItLooksLike) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--replay", "replays/last.smr"},
        std::vector<std::string>{"--replay", "--version.smr"}}) {
    const CommandLine parsed = ParseCommandLine(arguments);
    EXPECT_EQ(parsed.action, CommandLine::kRun);
    EXPECT_EQ(parsed.replayFile, arguments[1]);
  }
  EXPECT_EQ(ParseCommandLine({"--replay", "x.smr", "--help"}).action, CommandLine::kHelp);
  EXPECT_NE(HelpText().find("--replay FILE"), std::string::npos);
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
