// Windows: the game folder is the executable's; a setup program marks an installation with
// installed.txt beside the executable, and such a game keeps its settings in the user's roaming
// application data folder (%APPDATA%\Starmoat).
#include "platform/sdl/start_folders.h"

#include <SDL.h>
#include <windows.h>
#include <shlobj.h>

namespace fs = std::filesystem;

namespace platform {

namespace {

fs::path RoamingAppData() {
  PWSTR path = nullptr;
  fs::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

StartFolders ReadStartFolders(const std::string& dataFromExecutable) {
  StartFolders start;
  std::error_code ec;
  start.work = fs::current_path(ec);
  if (char* base = SDL_GetBasePath()) {
    // SDL gives UTF-8; read as such, any letter of the folder's name is kept.
    start.executable = fs::path(reinterpret_cast<const char8_t*>(base)).lexically_normal();
    SDL_free(base);
    if (!start.executable.has_filename()) start.executable = start.executable.parent_path();
  }
  start.dataFromExecutable = dataFromExecutable;
  if (!start.executable.empty() && fs::is_regular_file(start.executable / "installed.txt", ec)) {
    const fs::path appData = RoamingAppData();
    if (!appData.empty()) start.installedSettings = appData / "Starmoat";
  }
  return start;
}

}  // namespace platform
