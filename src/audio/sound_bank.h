// The bank of the seven sound effects (the effect list DXWaveList1 on the sound device
// DXSound1), played with a pan from the horizontal and a volume from the vertical screen
// position. Levels are hundredths of a decibel: volume -10000 (silent) .. 0 (full), pan -10000
// (left) .. 10000 (right).
//
// Every effect may overlap itself: an item keeps a pool of duplicate voices sharing its data,
// plays on the first one that has finished and adds a duplicate when all are busy. Without a
// sound device the items never become Initialized and every Play returns at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/wave.h"
#include "platform/platform.h"

enum SoundEffect : int32_t {
  sfxMenuClick = 0,
  sfxHit = 1,
  sfxLaser1 = 2,
  sfxPlasma = 3,
  sfxRocket = 4,
  sfxSkeel = 5,
  sfxNewStage = 6,
};

inline constexpr int32_t kSoundEffectCount = 7;

// One effect of the list.
class TWaveCollectionItem {
 public:
  explicit TWaveCollectionItem(std::string name) : Name(std::move(name)) {}

  // Starts the effect on a free voice of the pool (a new duplicate when all are busy) with the
  // item's current frequency, pan and volume. With wait, blocks until that voice has finished.
  void Play(bool wait);

  // The setters store the value and pass it to the main voice at once when Initialized;
  // duplicates take the values when they are started.
  int32_t Pan() const { return pan_; }
  void SetPan(int32_t hundredthsDb);
  int32_t Volume() const { return volume_; }
  void SetVolume(int32_t hundredthsDb);
  int32_t Frequency() const { return frequency_; }  // Hz, 0: the recording's own rate
  void SetFrequency(int32_t hz);
  bool Looped() const { return looped_; }
  // A change stops the main voice and every duplicate.
  void SetLooped(bool looped);
  int32_t MaxPlayingCount() const { return maxPlayingCount_; }  // 0: no limit
  // A negative value stores 0; a change frees every duplicate of an Initialized item.
  void SetMaxPlayingCount(int32_t count);

  // Device life: bound to an open device (Initialized), main voice made from the wave,
  // finalised (every voice freed).
  void Bind(platform::ISoundDevice* device);
  void Restore();
  void Finalize();

  std::string Name;
  int32_t MixLevel = 0;  // hundredths of a decibel: the effect's place in the mix
  std::unique_ptr<platform::ISoundVoice> Buffer;                // main voice, holds the data
  std::vector<std::unique_ptr<platform::ISoundVoice>> Buffers;  // playing pool of duplicates
  bool Initialized = false;
  TWave Wave;

 private:
  platform::ISoundVoice* MakeDuplicate();

  platform::ISoundDevice* device_ = nullptr;
  int32_t frequency_ = 0;
  bool looped_ = false;
  int32_t maxPlayingCount_ = 0;
  int32_t pan_ = 0;
  int32_t volume_ = 0;
};

// The effect list: the seven items in the fixed order of SoundEffect.
class TDXWaveList {
 public:
  TDXWaveList();
  // The device has opened: every item binds and makes its main voice.
  void DeviceInitialized(platform::ISoundDevice* device);
  // The device closes: every item frees its voices.
  void DeviceFinalized();

  std::vector<TWaveCollectionItem> Items;
};

// The sound device: the platform's audio output, when there is one.
class TDXSound {
 public:
  // Takes the platform's sound device; with none, or one that did not open, the bank stays
  // silent without a message.
  void Initialize();
  void Finalize();
  bool Initialized() const { return device_ != nullptr; }

 private:
  platform::ISoundDevice* device_ = nullptr;
};

extern TDXWaveList DXWaveList1;
extern TDXSound DXSound1;

// Window creation, before the settings are read: reads the embedded effects into the items
// and initialises the device. Throws WaveError when an embedded effect is damaged.
void CreateSoundBank();
// Window destruction: frees every voice and lets go of the device.
void DestroySoundBank();
// Fills the items' waves from RIFF WAVE files in bank order (count at most 7).
struct EmbeddedSound;
void LoadSoundBank(const EmbeddedSound* sounds, int32_t count);

// Game events and widgets: effect `index` (0..6; std::out_of_range otherwise) for an event at
// screen position (x, y) in pixels: pan (x - 400) * 10, volume y - 800, not clamped. Nothing,
// not even the pan and volume, changes while Settings.Sound is off.
void PlaySound(int32_t x, int32_t y, int32_t index);
// The direct plays (the menus' confirmation click, the game-over sound): the item as it stands,
// at the pan and volume of its last use; inaudible while sound is off because SetSound turned
// every item down to -10000.
void PlayEffectDirect(int32_t index);

// Fresh items and no device, as at start-up.
void ResetSoundBank();
