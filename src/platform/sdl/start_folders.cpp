#include "platform/sdl/start_folders.h"

#include <SDL.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {

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

}  // namespace

StartFolders ReadStartFolders(const std::string& dataFromExecutable) {
  StartFolders start;
  std::error_code ec;
  start.work = std::filesystem::current_path(ec);
  // SDL finds the executable's own file (symbolic links resolved), not the name it was
  // started by; no SDL_Init is needed for it.
  if (char* base = SDL_GetBasePath()) {
    start.executable = std::filesystem::path(base).lexically_normal();
    SDL_free(base);
    if (!start.executable.has_filename()) start.executable = start.executable.parent_path();
  }
  start.dataFromExecutable = dataFromExecutable;
  start.xdgDataHome = Environment("XDG_DATA_HOME");
  start.home = HomeFolder();
  return start;
}

}  // namespace platform
