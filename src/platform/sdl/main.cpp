// The program entry: brings up the SDL platform and runs the program on it.
#include <cstdio>

#include "platform/sdl/sdl_platform.h"
#include "shell/program.h"

int main() {
  platform::SdlPlatform os;
  if (!os.Ok()) {
    std::fprintf(stderr, "Starmoat: %s\n", os.Error().c_str());
    return 1;
  }
  platform::SetServices(os.Services());
  const int status = RunProgram();
  platform::SetServices({});
  return status;
}
