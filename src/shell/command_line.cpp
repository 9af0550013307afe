#include "shell/command_line.h"

#ifndef STARMOAT_VERSION
#error "the build defines STARMOAT_VERSION"
#endif

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--replay") {
      if (i + 1 == arguments.size()) return {CommandLine::kUsageError, "--replay needs a file", {}};
      if (!result.replayFile.empty()) return {CommandLine::kUsageError, "only one --replay", {}};
      result.replayFile = arguments[++i];
      if (result.replayFile.empty()) return {CommandLine::kUsageError, "--replay needs a file", {}};
    } else if (argument == "--help" || argument == "-h") {
      result.action = CommandLine::kHelp;
    } else if (argument == "--version") {
      if (result.action != CommandLine::kHelp) result.action = CommandLine::kVersion;
    } else if (argument.size() > 1 && argument.front() == '-') {
      return {CommandLine::kUsageError, "unknown option '" + argument + "'", {}};
    } else {
      return {CommandLine::kUsageError, "unexpected argument '" + argument + "'", {}};
    }
  }
  return result;
}

std::string UsageLine() { return "Usage: starmoat [--help] [--version] [--replay FILE]"; }

std::string HelpText() {
  return UsageLine() +
         "\n"
         "Starmoat, an arcade space shoot-'em-up. Started without options it opens its window\n"
         "and shows the main menu.\n"
         "\n"
         "  -h, --help     print this help and exit\n"
         "      --version  print the version and exit\n"
         "      --replay FILE  watch a recorded game (Esc ends it), then go on to the main\n"
         "                 menu; nothing is saved while watching\n"
         "\n"
         "Files: the game reads Data/Data.pp, sound/1.xm and sound/2.xm, and keeps its settings\n"
         "and high scores in Config.cfg. All of them are used in the working folder when it\n"
         "holds Data/Data.pp, else beside the program when its folder does (a portable game\n"
         "folder). Installed, the data comes from ../share/games/starmoat next to the\n"
         "program's folder, and Config.cfg is kept in $XDG_DATA_HOME/starmoat (by default\n"
         "~/.local/share/starmoat).\n"
         "Every game is recorded beside Config.cfg: replays/last.smr is the last game, and\n"
         "each game that entered the top ten is kept as replays/DATE-TIME-SCORE.smr.\n"
         "\n"
         "World scores: results are sent to, and the world table is opened on, the server\n"
         "named by the environment variable STARMOAT_SCORE_HOST (host[:port]) when it is set,\n"
         "else " STARMOAT_SCORE_HOST ".\n";
}

std::string VersionText() { return std::string("starmoat ") + STARMOAT_VERSION; }
