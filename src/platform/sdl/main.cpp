// The program entry: reads the command line, finds the game's files, brings up the SDL
// platform and runs the program on it.
#include <SDL.h>

#include <cstdio>
#include <string>
#include <vector>

#include "persistence/score_submission.h"
#include "platform/file_places.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/start_folders.h"
#include "replay/replay_file.h"
#include "shell/command_line.h"
#include "shell/program.h"
#include "shell/program_state.h"

#if defined(__EMSCRIPTEN__)
#include "persistence/config.h"
#include "platform/web/web_page.h"
#include "shell/form.h"
#endif

#ifndef STARMOAT_DATA_FROM_EXECUTABLE
#error "the build defines STARMOAT_DATA_FROM_EXECUTABLE"
#endif

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

  const platform::PlaceSearch search = platform::FindFilePlaces(
      platform::ReadStartFolders(STARMOAT_DATA_FROM_EXECUTABLE));
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
#if defined(__EMSCRIPTEN__)
  // A page is closed or reloaded, never exited through the menu, so the settings the desktop
  // game writes on its way out are kept whenever the page asks (web_page.js: after each key
  // or click, and when the page is hidden), between frames; unchanged, nothing is written.
  platform::SetKeepSettings([] {
    if (Form1 != nullptr && !Form1->FClosed) KeepConfig();
  });
#endif
  const int status = RunProgram(watch.Ok ? &watch.Replay : nullptr);
  platform::SetServices({});
  return status;
}
