// Fakes of the sound device and the module player that record what the program asked of them.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fake {

// What one voice was told, kept by the device after the voice itself is freed.
struct VoiceRecord {
  int id = 0;
  int duplicateOf = -1;  // id of the voice it was duplicated from, -1 for a created one
  std::shared_ptr<const std::vector<uint8_t>> pcm;  // shared by a voice and its duplicates
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint16_t bits = 0;
  int32_t mixLevel = 0;
  bool alive = true;
  bool playing = false;  // a test clears it to let the voice finish
  bool looped = false;
  int32_t volume = 0;
  int32_t pan = 0;
  uint32_t frequency = 0;
  int plays = 0;
  std::vector<std::string> calls;  // "Stop", "Frequency 0", "Pan -4000", "Volume -800", "Play"
};

// One start of a voice, with the levels it started at.
struct PlayEvent {
  int voice = 0;
  int32_t volume = 0;
  int32_t pan = 0;
  bool looped = false;
};

class FakeSoundDevice : public platform::ISoundDevice {
 public:
  bool IsOpen() override { return open; }
  std::unique_ptr<platform::ISoundVoice> CreateVoice(uint16_t channels, uint32_t samplesPerSec,
                                                     uint16_t bitsPerSample,
                                                     const std::vector<uint8_t>& pcm,
                                                     int32_t mixLevel) override;

  // Every voice still playing finishes.
  void FinishAll();
  // Voices made by duplicating the voice with that id.
  std::vector<std::shared_ptr<VoiceRecord>> DuplicatesOf(int id) const;

  bool open = true;
  bool refuseVoices = false;     // CreateVoice fails
  bool refuseDuplicates = false; // Duplicate fails
  std::vector<std::shared_ptr<VoiceRecord>> voices;  // in creation order, ids are indexes

  // The effect a recorded voice belongs to: main voices are made in bank order.
  int EffectOf(int voice) const {
    while (voices[voice]->duplicateOf >= 0) voice = voices[voice]->duplicateOf;
    return voice;
  }
  std::vector<PlayEvent> plays;
};

class FakeMusicPlayer : public platform::IMusicPlayer {
 public:
  uint32_t SongLoadFromFile(const std::string& path) override;
  void SongPlay(uint32_t song, int32_t mixLevel) override;
  void SongFree(uint32_t song) override;

  // Path of the module now playing, empty for silence.
  std::string Playing() const;

  std::set<std::string> missing;  // paths whose load fails
  std::vector<std::string> log;   // "load sound/1.xm", "play 1", "free 1"
  std::vector<std::string> loaded;  // path by handle - 1
  int32_t mixLevel = 0;             // as the last play asked

 private:
  uint32_t playing_ = 0;
  std::set<uint32_t> live_;
};

}  // namespace fake
