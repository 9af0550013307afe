// The program entry: reads the command line, finds the game's files, brings up the SDL
// platform and runs the program on it.
#include <SDL.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "persistence/score_submission.h"
#include "platform/file_places.h"
#include "platform/sdl/sdl_platform.h"
#include "replay/replay_file.h"
#include "shell/command_line.h"
#include "shell/program.h"
#include "shell/program_state.h"

#ifndef STARMOAT_DATA_FROM_EXECUTABLE
#error "the build defines STARMOAT_DATA_FROM_EXECUTABLE"
#endif

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// $HOME, or the user database's entry when it is unset (a service, a bare login).
std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (home.empty()) {
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) home = user->pw_dir;
  }
  return home;
}

platform::StartFolders StartFolders() {
  platform::StartFolders start;
  std::error_code ec;
  start.work = std::filesystem::current_path(ec);
  // SDL finds the executable's own file (symbolic links resolved), not the name it was
  // started by; no SDL_Init is needed for it.
  if (char* base = SDL_GetBasePath()) {
    start.executable = std::filesystem::path(base).lexically_normal();
    SDL_free(base);
    if (!start.executable.has_filename()) start.executable = start.executable.parent_path();
  }
  start.dataFromExecutable = STARMOAT_DATA_FROM_EXECUTABLE;
  start.xdgDataHome = Environment("XDG_DATA_HOME");
  start.home = HomeFolder();
  return start;
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine command = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (command.action) {
    case CommandLine::kHelp: std::fputs(HelpText().c_str(), stdout); return 0;
    case CommandLine::kVersion: std::printf("%s\n", VersionText().c_str()); return 0;
    case CommandLine::kUsageError:
      std::fprintf(stderr, "starmoat: %s\n%s\n", command.problem.c_str(), UsageLine().c_str());
      return 2;
    case CommandLine::kRun: break;
  }
  // A replay is read before anything opens, so a wrong file is one line and no window.
  TReplayRead watch;
  if (!command.replayFile.empty()) {
    watch = LoadReplayFile(command.replayFile);
    if (!watch.Ok) {
      std::fprintf(stderr, "starmoat: %s: %s\n", command.replayFile.c_str(), watch.Error.c_str());
      return 1;
    }
  }

  const platform::PlaceSearch search = platform::FindFilePlaces(StartFolders());
  if (!search.places) {
    const std::string message = platform::PlacesNotFoundMessage(search);
    std::fprintf(stderr, "Starmoat: %s\n", message.c_str());
    // Started from a desktop menu nobody reads stderr; with no display this fails quietly.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Starmoat", message.c_str(), nullptr);
    return 1;
  }
  platform::SetFilePlaces(*search.places);

  platform::SdlPlatform os;
  if (!os.Ok()) {
    std::fprintf(stderr, "Starmoat: %s\n", os.Error().c_str());
    return 1;
  }
  platform::SetServices(os.Services());
  // Globals such as the default high-score table are set up here, before the settings file is
  // read, exactly as each test sets them.
  ResetProgramState();
  UseScoreHostFromEnvironment();
  const int status = RunProgram(watch.Ok ? &watch.Replay : nullptr);
  platform::SetServices({});
  return status;
}
