#include "audio/sound_bank.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "audio/embedded_sounds.h"
#include "audio/mix_levels.h"
#include "persistence/config.h"

TDXWaveList DXWaveList1;
TDXSound DXSound1;

namespace {

// Bank order; code elsewhere names effects only by this index.
constexpr std::array<std::string_view, kSoundEffectCount> kEffectNames = {
    "MenuClick", "Hit", "Laser_1", "Plasma", "Rocket", "Skeel", "NewStage"};

// A playing voice is polled this often while a caller waits for it.
constexpr uint32_t kWaitPollMs = 10;

}  // namespace

void TWaveCollectionItem::SetPan(int32_t hundredthsDb) {
  pan_ = hundredthsDb;
  if (Initialized && Buffer) Buffer->SetPan(pan_);
}

void TWaveCollectionItem::SetVolume(int32_t hundredthsDb) {
  volume_ = hundredthsDb;
  if (Initialized && Buffer) Buffer->SetVolume(volume_);
}

void TWaveCollectionItem::SetFrequency(int32_t hz) {
  frequency_ = hz;
  if (Initialized && Buffer) Buffer->SetFrequency(static_cast<uint32_t>(std::max(hz, 0)));
}

void TWaveCollectionItem::SetLooped(bool looped) {
  if (looped == looped_) return;
  if (Buffer) Buffer->Stop();
  for (auto& voice : Buffers) voice->Stop();
  looped_ = looped;
}

void TWaveCollectionItem::SetMaxPlayingCount(int32_t count) {
  count = std::max(count, 0);
  if (count == maxPlayingCount_) return;
  maxPlayingCount_ = count;
  if (Initialized) Buffers.clear();
}

void TWaveCollectionItem::Bind(platform::ISoundDevice* device) {
  Finalize();
  device_ = device;
  Initialized = device != nullptr;
}

void TWaveCollectionItem::Restore() {
  if (Wave.Data.empty() || !Initialized) return;
  if (!Buffer) {
    WaveFormat format;
    // Only integer PCM is carried; a voice the device refuses leaves the effect silent.
    if (!Wave.Format(format) || format.FormatTag != 1) return;
    Buffer = device_->CreateVoice(format.Channels, format.SamplesPerSec, format.BitsPerSample,
                                  Wave.Data, MixLevel);
    if (!Buffer) return;
  }
  Buffer->SetFrequency(static_cast<uint32_t>(std::max(frequency_, 0)));
  Buffer->SetPan(pan_);
  Buffer->SetVolume(volume_);
}

void TWaveCollectionItem::Finalize() {
  if (!Initialized) return;
  Initialized = false;
  Buffers.clear();
  Buffer.reset();
  device_ = nullptr;
}

platform::ISoundVoice* TWaveCollectionItem::MakeDuplicate() {
  if (!Buffer) Restore();
  if (!Buffer) return nullptr;
  std::unique_ptr<platform::ISoundVoice> duplicate = Buffer->Duplicate();
  if (!duplicate) return nullptr;
  Buffers.push_back(std::move(duplicate));
  return Buffers.back().get();
}

void TWaveCollectionItem::Play(bool wait) {
  if (!Initialized) return;
  if (looped_) {
    if (!Buffer) return;
    Buffer->Stop();
    Buffer->Play(true);
    return;
  }
  platform::ISoundVoice* voice = nullptr;
  for (auto& candidate : Buffers) {
    if (!candidate->IsPlaying()) {
      voice = candidate.get();
      break;
    }
  }
  if (!voice) {
    if (maxPlayingCount_ == 0 || std::ssize(Buffers) < maxPlayingCount_) {
      voice = MakeDuplicate();
      if (!voice) return;
    } else {
      // At the limit the oldest voice is cut off and restarted.
      std::rotate(Buffers.begin(), Buffers.begin() + 1, Buffers.end());
      voice = Buffers.back().get();
    }
  }
  voice->Stop();
  voice->SetFrequency(static_cast<uint32_t>(std::max(frequency_, 0)));
  voice->SetPan(pan_);
  voice->SetVolume(volume_);
  voice->Play(false);
  if (wait) {
    while (voice->IsPlaying()) platform::Services().clock->Sleep(kWaitPollMs);
  }
}

TDXWaveList::TDXWaveList() {
  Items.reserve(kSoundEffectCount);
  for (size_t i = 0; i < kEffectNames.size(); ++i) {
    Items.emplace_back(std::string(kEffectNames[i]));
    Items.back().MixLevel = kEffectMixLevels[i];
  }
}

void TDXWaveList::DeviceInitialized(platform::ISoundDevice* device) {
  for (auto& item : Items) item.Bind(device);
  for (auto& item : Items) item.Restore();
}

void TDXWaveList::DeviceFinalized() {
  for (auto& item : Items) item.Finalize();
}

void TDXSound::Initialize() {
  Finalize();
  platform::ISoundDevice* device = platform::Services().sound;
  if (!device || !device->IsOpen()) return;
  device_ = device;
  DXWaveList1.DeviceInitialized(device_);
}

void TDXSound::Finalize() {
  if (!device_) return;
  DXWaveList1.DeviceFinalized();
  device_ = nullptr;
}

void LoadSoundBank(const EmbeddedSound* sounds, int32_t count) {
  count = std::min(count, kSoundEffectCount);
  for (int32_t i = 0; i < count; ++i) {
    DXWaveList1.Items[i].Wave.LoadFromMemory(sounds[i].data, sounds[i].size);
  }
}

void CreateSoundBank() {
  LoadSoundBank(kEmbeddedSounds, kSoundEffectCount);
  DXSound1.Initialize();
}

void DestroySoundBank() { DXSound1.Finalize(); }

void PlaySound(int32_t x, int32_t y, int32_t index) {
  if (!Settings.Sound) return;
  TWaveCollectionItem& item = DXWaveList1.Items.at(static_cast<size_t>(index));
  item.SetPan((x - 400) * 10);
  item.SetVolume(y - 800);
  item.Play(false);
}

void PlayEffectDirect(int32_t index) {
  DXWaveList1.Items.at(static_cast<size_t>(index)).Play(false);
}

void ResetSoundBank() {
  DXSound1.Finalize();
  DXWaveList1 = TDXWaveList();
}
