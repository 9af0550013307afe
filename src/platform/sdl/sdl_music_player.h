// The module player on SDL2_mixer: XM modules loaded from files and played on the mixer's music
// stream, repeating until freed.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/sdl_sound_device.h"

struct _Mix_Music;

namespace platform {

class SdlMusicPlayer : public IMusicPlayer {
 public:
  // Plays through the mixer the sound device opened; with a closed device every load fails.
  // Must be destroyed before the device.
  explicit SdlMusicPlayer(SdlSoundDevice& device) : device_(device) {}
  ~SdlMusicPlayer() override;
  SdlMusicPlayer(const SdlMusicPlayer&) = delete;
  SdlMusicPlayer& operator=(const SdlMusicPlayer&) = delete;

  uint32_t SongLoadFromFile(const std::string& path) override;
  void SongPlay(uint32_t song, int32_t mixLevel) override;
  void SongFree(uint32_t song) override;

 private:
  SdlSoundDevice& device_;
  std::map<uint32_t, _Mix_Music*> songs_;
  uint32_t lastHandle_ = 0;
};

}  // namespace platform
