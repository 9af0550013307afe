// The command line: --help, --version and --replay FILE. Anything else is a mistake of the
// caller, answered with the usage line.
#pragma once

#include <string>
#include <vector>

struct CommandLine {
  enum Action { kRun, kHelp, kVersion, kUsageError };
  Action action = kRun;
  std::string problem;  // kUsageError: what was wrong, for the message
  std::string replayFile;  // kRun: the replay to watch, when one was named
};

// arguments: argv[1] onwards.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// "Usage: starmoat [--help] [--version] [--replay FILE]"
std::string UsageLine();
// What --help prints: usage, what the program is, the options and where its files are.
std::string HelpText();
// What --version prints: "starmoat <version>".
std::string VersionText();
