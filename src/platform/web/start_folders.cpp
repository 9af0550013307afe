// The browser: the page packs the game's data into /game of Emscripten's in-memory file
// system, and the settings and replays live in /save, a folder the page keeps in the browser's
// IndexedDB (web_page.js mounts it and writes it back after each save). The pair is the layout
// of an installed game: data beside the program, settings in the player's own place.
#include "platform/sdl/start_folders.h"

namespace platform {

StartFolders ReadStartFolders(const std::string& dataFromExecutable) {
  StartFolders start;
  start.work = "/";
  start.executable = "/game";
  start.dataFromExecutable = dataFromExecutable;
  start.installedSettings = "/save";
  return start;
}

}  // namespace platform
