// The sound device on SDL2_mixer: every playing voice gets a mixer channel of its own (more
// channels are allocated when all are busy), with the sound's level in the mix as the channel
// volume and the voice's pan and volume as the channel's panning.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace platform {

class SdlSoundDevice : public ISoundDevice {
 public:
  // Opens SDL's audio part and the mixer: 44.1 kHz (or the device's own rate), 16-bit,
  // stereo. When there is no audio device the device stays closed and everything is silent.
  SdlSoundDevice();
  ~SdlSoundDevice() override;
  SdlSoundDevice(const SdlSoundDevice&) = delete;
  SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;

  bool IsOpen() override;
  std::unique_ptr<ISoundVoice> CreateVoice(uint16_t channels, uint32_t samplesPerSec,
                                           uint16_t bitsPerSample,
                                           const std::vector<uint8_t>& pcm,
                                           int32_t mixLevel) override;

  // What the open mixer and its voices share; voices outliving the device find it closed.
  struct Mixer;

 private:
  std::shared_ptr<Mixer> mixer_;
};

}  // namespace platform
