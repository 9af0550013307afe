#include "audio/music.h"

#include "audio/mix_levels.h"

#include "platform/file_places.h"
#include "platform/platform.h"

uint32_t Song = 0;

namespace {

// The folder of the modules, in the data folder.
constexpr const char* kSongFolder = "sound\\";

}  // namespace

void PlaySong(const std::string& name) {
  platform::IMusicPlayer* player = platform::Services().music;
  if (Song != 0 && player) player->SongFree(Song);
  Song = player ? player->SongLoadFromFile(platform::DataPath(kSongFolder + name)) : 0;
  if (Song != 0) player->SongPlay(Song, kMusicMixLevel);
}

void StopMusic() {
  platform::IMusicPlayer* player = platform::Services().music;
  if (Song != 0 && player) player->SongFree(Song);
  Song = 0;
}

void MusicWatch() {}

void ResetMusicState() { Song = 0; }
