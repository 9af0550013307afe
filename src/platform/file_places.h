// Where the program's files are: the data it reads (the sprite pack, the tunes, the companion
// files) and the folder of Config.cfg with its companions. The entry point decides once at
// start-up; everything else asks DataPath and ConfigPath and never learns which layout the
// program runs in.
//
// The layouts, tried in this order:
//  0. Installed by a Windows setup program (the executable's folder holds Data/Data.pp and the
//     entry point was told where such an installation keeps settings): data beside the
//     executable, settings in the user's application data folder; Program Files is not the
//     player's to write.
//  1. The working folder holds Data/Data.pp: data and settings there, as the program has
//     always run (and how each real-window test gives its run a folder of its own).
//  2. The executable's folder holds Data/Data.pp: a portable game folder, started from any
//     working folder; data and settings beside the executable.
//  3. Installed: data in the folder found relative to the executable (../share/games/starmoat
//     for /usr/games/starmoat, so a moved prefix still works); settings in the user's data
//     folder, $XDG_DATA_HOME/starmoat or ~/.local/share/starmoat, made when first written.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FilePlaces {
  std::filesystem::path data;    // empty: the working folder
  std::filesystem::path config;  // empty: the working folder
};

// What start-up knows about the process and the user.
struct StartFolders {
  std::filesystem::path work;        // the current folder
  std::filesystem::path executable;  // the executable's folder; empty when unknown
  // The installed data folder relative to the executable's folder.
  std::filesystem::path dataFromExecutable;
  std::string xdgDataHome;  // $XDG_DATA_HOME as set (a relative value is ignored)
  std::string home;         // the user's home folder; empty when unknown
  // The settings folder of an installed game whose data is beside the executable (Windows: the
  // roaming application data folder, when the setup program marked the installation); empty
  // for every other layout.
  std::filesystem::path installedSettings;
};

struct PlaceSearch {
  std::optional<FilePlaces> places;
  // Every place looked at, in order, with what it was looked at for.
  std::vector<std::string> tried;
};

PlaceSearch FindFilePlaces(const StartFolders& start);
// One message for a search that found nothing, naming every place tried.
std::string PlacesNotFoundMessage(const PlaceSearch& search);

// The places in effect; both empty (the working folder) until the entry point sets them.
void SetFilePlaces(const FilePlaces& places);
const FilePlaces& CurrentFilePlaces();

// A data file by its name written with backslashes ("Data\\Data.pp", "sound\\1.xm").
std::string DataPath(const std::string& relative);
// A file of the settings folder (Config.cfg, Config.cfg.bad, temporary files).
std::string ConfigPath(const std::string& name);
// Makes the settings folder, and any folder above it, when missing; folders made here are for
// the user alone (0700). False, with the reason in `why`, when that fails.
bool MakeConfigFolder(std::string& why);

}  // namespace platform
