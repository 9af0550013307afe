#include "platform/sdl/sdl_music_player.h"

#include <SDL_mixer.h>

#include "platform/sound_levels.h"

namespace platform {

SdlMusicPlayer::~SdlMusicPlayer() {
  for (auto& [handle, music] : songs_) Mix_FreeMusic(music);
}

uint32_t SdlMusicPlayer::SongLoadFromFile(const std::string& path) {
  if (!device_.IsOpen()) return 0;
  Mix_Music* music = Mix_LoadMUS(path.c_str());
  if (!music) return 0;
  // Handles are never reused, so a stale one cannot reach a newer module.
  if (++lastHandle_ == 0) ++lastHandle_;
  songs_[lastHandle_] = music;
  return lastHandle_;
}

void SdlMusicPlayer::SongPlay(uint32_t song, int32_t mixLevel) {
  auto it = songs_.find(song);
  if (it == songs_.end()) return;
  // The module player scales its own mixing by the music volume, so the tune keeps its
  // resolution.
  Mix_VolumeMusic(MixerVolume(mixLevel, MIX_MAX_VOLUME));
  Mix_PlayMusic(it->second, -1);
}

void SdlMusicPlayer::SongFree(uint32_t song) {
  auto it = songs_.find(song);
  if (it == songs_.end()) return;
  // Freeing the module that plays stops it first.
  Mix_FreeMusic(it->second);
  songs_.erase(it);
}

}  // namespace platform
