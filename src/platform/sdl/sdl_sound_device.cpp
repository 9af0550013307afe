#include "platform/sdl/sdl_sound_device.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/sound_levels.h"

namespace platform {

namespace {

constexpr int kRate = 44100;
constexpr int kChunkSamples = 1024;  // about 23 ms of latency
constexpr int kFirstChannels = 16;

// The effect's samples converted to the mixer's format, and the mixer's view of them.
struct Sample {
  std::vector<uint8_t> data;
  Mix_Chunk chunk{};
};

// The recording as the bank gave it, kept for playing at another rate, and its level in the
// mix.
struct Source {
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint16_t bits = 0;
  std::vector<uint8_t> pcm;
  int32_t mixLevel = 0;
};

}  // namespace

struct SdlSoundDevice::Mixer {
  bool open = false;
  int rate = 0;
  SDL_AudioFormat format = 0;
  int channels = 0;
  // Which voice started each mixer channel last; a finished channel may be taken by another.
  std::vector<const void*> owners;

  // A channel that plays nothing, allocating more when every one is busy; -1 on failure.
  int Acquire(const void* voice) {
    for (size_t c = 0; c < owners.size(); ++c) {
      if (!owners[c] || Mix_Playing(static_cast<int>(c)) == 0) {
        owners[c] = voice;
        return static_cast<int>(c);
      }
    }
    const int have = static_cast<int>(owners.size());
    const int now = Mix_AllocateChannels(have * 2);
    if (now <= have) return -1;
    owners.resize(static_cast<size_t>(now), nullptr);
    owners[static_cast<size_t>(have)] = voice;
    return have;
  }

  std::shared_ptr<Sample> Convert(const Source& src, uint32_t rate) const {
    if (src.channels == 0 || (src.bits != 8 && src.bits != 16) || rate == 0) return nullptr;
    const size_t frame = static_cast<size_t>(src.channels) * (src.bits / 8);
    const size_t len = src.pcm.size() / frame * frame;
    if (len == 0) return nullptr;
    SDL_AudioCVT cvt;
    // WAVE stores 8-bit samples unsigned and 16-bit ones signed little-endian.
    const SDL_AudioFormat from = src.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    if (SDL_BuildAudioCVT(&cvt, from, static_cast<Uint8>(src.channels), static_cast<int>(rate),
                          format, static_cast<Uint8>(channels), this->rate) < 0) {
      return nullptr;
    }
    auto sample = std::make_shared<Sample>();
    sample->data.resize(len * static_cast<size_t>(std::max(cvt.len_mult, 1)));
    std::memcpy(sample->data.data(), src.pcm.data(), len);
    size_t outLen = len;
    if (cvt.needed) {
      cvt.buf = sample->data.data();
      cvt.len = static_cast<int>(len);
      if (SDL_ConvertAudio(&cvt) != 0) return nullptr;
      outLen = static_cast<size_t>(cvt.len_cvt);
    }
    sample->data.resize(outLen);
    sample->chunk.allocated = 0;
    sample->chunk.abuf = sample->data.data();
    sample->chunk.alen = static_cast<Uint32>(outLen);
    sample->chunk.volume = MIX_MAX_VOLUME;
    return sample;
  }
};

namespace {

class SdlVoice : public ISoundVoice {
 public:
  SdlVoice(std::shared_ptr<SdlSoundDevice::Mixer> mixer, std::shared_ptr<const Source> source,
           std::shared_ptr<Sample> sample)
      : mixer_(std::move(mixer)), source_(std::move(source)), native_(std::move(sample)) {}
  ~SdlVoice() override { Stop(); }

  void Play(bool looped) override {
    Stop();
    if (!mixer_->open) return;
    const Sample* sample = Current();
    if (!sample) return;
    channel_ = mixer_->Acquire(this);
    if (channel_ < 0) return;
    ApplyLevels();
    if (Mix_PlayChannel(channel_, const_cast<Mix_Chunk*>(&sample->chunk), looped ? -1 : 0) < 0) {
      Release();
    }
  }

  void Stop() override {
    if (!OwnsChannel()) return;
    Mix_HaltChannel(channel_);
    Release();
  }

  bool IsPlaying() override { return OwnsChannel() && Mix_Playing(channel_) != 0; }

  void SetVolume(int32_t hundredthsDb) override {
    volume_ = hundredthsDb;
    if (IsPlaying()) ApplyLevels();
  }

  void SetPan(int32_t hundredthsDb) override {
    pan_ = hundredthsDb;
    if (IsPlaying()) ApplyLevels();
  }

  // Takes effect from the next start.
  void SetFrequency(uint32_t hz) override {
    frequency_ = hz == source_->rate ? 0 : hz;
    if (frequency_ != 0 && frequency_ != shiftedRate_) {
      shifted_ = mixer_->open ? mixer_->Convert(*source_, frequency_) : nullptr;
      shiftedRate_ = frequency_;
    }
  }

  std::unique_ptr<ISoundVoice> Duplicate() override {
    return std::make_unique<SdlVoice>(mixer_, source_, native_);
  }

 private:
  const Sample* Current() const { return frequency_ != 0 ? shifted_.get() : native_.get(); }

  bool OwnsChannel() const {
    return channel_ >= 0 && mixer_->open &&
           static_cast<size_t>(channel_) < mixer_->owners.size() &&
           mixer_->owners[static_cast<size_t>(channel_)] == this;
  }

  void Release() {
    if (OwnsChannel()) mixer_->owners[static_cast<size_t>(channel_)] = nullptr;
    channel_ = -1;
  }

  // The samples keep their full resolution; the mixer scales them on its 16-bit output: the
  // channel volume by the sound's level in the mix, the panning (in floating point, 256 steps
  // a side) by this play's volume and pan.
  void ApplyLevels() {
    Mix_Volume(channel_, MixerVolume(source_->mixLevel, MIX_MAX_VOLUME));
    const StereoGain g = StereoGains(volume_, pan_);
    Mix_SetPanning(channel_, static_cast<Uint8>(std::lround(255 * g.left)),
                   static_cast<Uint8>(std::lround(255 * g.right)));
  }

  std::shared_ptr<SdlSoundDevice::Mixer> mixer_;
  std::shared_ptr<const Source> source_;
  std::shared_ptr<Sample> native_;
  std::shared_ptr<Sample> shifted_;  // the recording resampled for frequency_
  uint32_t shiftedRate_ = 0;
  uint32_t frequency_ = 0;
  int32_t volume_ = 0;
  int32_t pan_ = 0;
  int channel_ = -1;
};

}  // namespace

SdlSoundDevice::SdlSoundDevice() : mixer_(std::make_shared<Mixer>()) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  // Stereo is required for panning; the rate may follow the device.
  if (Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, 2, kChunkSamples, nullptr,
                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  Mix_Init(MIX_INIT_MOD);
  int rate = 0, channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&rate, &format, &channels);
  mixer_->rate = rate;
  mixer_->format = format;
  mixer_->channels = channels;
  mixer_->owners.assign(static_cast<size_t>(Mix_AllocateChannels(kFirstChannels)), nullptr);
  mixer_->open = true;
}

SdlSoundDevice::~SdlSoundDevice() {
  if (!mixer_->open) return;
  Mix_HaltChannel(-1);
  mixer_->open = false;
  mixer_->owners.clear();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlSoundDevice::IsOpen() { return mixer_->open; }

std::unique_ptr<ISoundVoice> SdlSoundDevice::CreateVoice(uint16_t channels,
                                                         uint32_t samplesPerSec,
                                                         uint16_t bitsPerSample,
                                                         const std::vector<uint8_t>& pcm,
                                                         int32_t mixLevel) {
  if (!mixer_->open) return nullptr;
  auto source = std::make_shared<Source>(
      Source{channels, samplesPerSec, bitsPerSample, pcm, mixLevel});
  std::shared_ptr<Sample> sample = mixer_->Convert(*source, samplesPerSec);
  if (!sample) return nullptr;
  return std::make_unique<SdlVoice>(mixer_, std::move(source), std::move(sample));
}

}  // namespace platform
