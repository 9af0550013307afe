// The program entry: brings up the SDL platform and runs the program on it.
#include <cstdio>

#include "persistence/score_submission.h"
#include "platform/sdl/sdl_platform.h"
#include "shell/program.h"
#include "shell/program_state.h"

int main() {
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
  const int status = RunProgram();
  platform::SetServices({});
  return status;
}
