#include "platform/file_places.h"

#include "platform/platform.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

FilePlaces Current;

// The one file every layout must provide, as looked for in a folder.
const fs::path kPackInFolder = fs::path("Data") / "Data.pp";

bool HasPack(const fs::path& folder, PlaceSearch& search, const char* what) {
  const fs::path pack = (folder / kPackInFolder).lexically_normal();
  search.tried.push_back(pack.string() + " (" + what + ")");
  std::error_code ec;
  return fs::is_regular_file(pack, ec);
}

// $XDG_DATA_HOME/starmoat, or ~/.local/share/starmoat when it is unset, empty or relative
// (the base-directory rules ignore a relative value).
std::optional<fs::path> UserSettingsFolder(const StartFolders& start, PlaceSearch& search) {
  const fs::path xdg(start.xdgDataHome);
  if (xdg.is_absolute()) return (xdg / "starmoat").lexically_normal();
  const fs::path home(start.home);
  if (home.is_absolute()) return (home / ".local" / "share" / "starmoat").lexically_normal();
  search.tried.push_back("$XDG_DATA_HOME and $HOME (for the settings folder; neither is set)");
  return std::nullopt;
}

}  // namespace

PlaceSearch FindFilePlaces(const StartFolders& start) {
  PlaceSearch search;
  // Before the working folder: a shortcut starts an installed game in its own folder.
  if (!start.installedSettings.empty() && !start.executable.empty() &&
      HasPack(start.executable, search, "the installed game")) {
    search.places = FilePlaces{start.executable, start.installedSettings.lexically_normal()};
    return search;
  }
  if (HasPack(start.work, search, "the working folder")) {
    search.places = FilePlaces{};
    return search;
  }
  if (start.executable.empty()) return search;
  if (HasPack(start.executable, search, "beside the program")) {
    search.places = FilePlaces{start.executable, start.executable};
    return search;
  }
  const fs::path installed = (start.executable / start.dataFromExecutable).lexically_normal();
  if (!HasPack(installed, search, "the installed data")) return search;
  if (std::optional<fs::path> settings = UserSettingsFolder(start, search)) {
    search.places = FilePlaces{installed, *settings};
  }
  return search;
}

std::string PlacesNotFoundMessage(const PlaceSearch& search) {
  std::string message = "cannot find the game's files. Looked for:";
  for (const std::string& place : search.tried) message += "\n  " + place;
  return message;
}

void SetFilePlaces(const FilePlaces& places) { Current = places; }

const FilePlaces& CurrentFilePlaces() { return Current; }

std::string DataPath(const std::string& relative) {
  return (Current.data / NativePath(relative)).string();
}

std::string ConfigPath(const std::string& name) { return (Current.config / name).string(); }

bool MakeConfigFolder(std::string& why) {
  if (Current.config.empty()) return true;
  // From the top down, so that every folder made gets the user-only mode, not just the last.
  // The root ("/", or a drive's "C:\\") is never made.
  fs::path folder = Current.config.root_path();
  for (const fs::path& part : Current.config.relative_path()) {
    folder /= part;
    std::error_code ec;
    if (fs::is_directory(folder, ec)) continue;
    if (!fs::create_directory(folder, ec) && ec) {
      why = "cannot make the folder " + folder.string() + ": " + ec.message();
      return false;
    }
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
  }
  return true;
}

}  // namespace platform
