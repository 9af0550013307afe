#include "fakes/fake_sound.h"

#include <filesystem>

namespace fake {

namespace {

class FakeVoice : public platform::ISoundVoice {
 public:
  FakeVoice(FakeSoundDevice& device, std::shared_ptr<VoiceRecord> record)
      : device_(device), record_(std::move(record)) {}
  ~FakeVoice() override {
    record_->alive = false;
    record_->playing = false;
  }

  void Play(bool looped) override {
    record_->calls.push_back(looped ? "Play looped" : "Play");
    record_->playing = true;
    record_->looped = looped;
    ++record_->plays;
    device_.plays.push_back({record_->id, record_->volume, record_->pan, looped});
  }
  void Stop() override {
    record_->calls.push_back("Stop");
    record_->playing = false;
  }
  bool IsPlaying() override { return record_->playing; }
  void SetVolume(int32_t v) override {
    record_->calls.push_back("Volume " + std::to_string(v));
    record_->volume = v;
  }
  void SetPan(int32_t p) override {
    record_->calls.push_back("Pan " + std::to_string(p));
    record_->pan = p;
  }
  void SetFrequency(uint32_t hz) override {
    record_->calls.push_back("Frequency " + std::to_string(hz));
    record_->frequency = hz;
  }
  std::unique_ptr<platform::ISoundVoice> Duplicate() override {
    if (device_.refuseDuplicates) return nullptr;
    auto copy = std::make_shared<VoiceRecord>();
    copy->id = static_cast<int>(device_.voices.size());
    copy->duplicateOf = record_->id;
    copy->pcm = record_->pcm;
    copy->channels = record_->channels;
    copy->rate = record_->rate;
    copy->bits = record_->bits;
    copy->mixLevel = record_->mixLevel;
    device_.voices.push_back(copy);
    return std::make_unique<FakeVoice>(device_, copy);
  }

 private:
  FakeSoundDevice& device_;
  std::shared_ptr<VoiceRecord> record_;
};

}  // namespace

std::unique_ptr<platform::ISoundVoice> FakeSoundDevice::CreateVoice(
    uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample,
    const std::vector<uint8_t>& pcm, int32_t mixLevel) {
  if (!open || refuseVoices) return nullptr;
  auto record = std::make_shared<VoiceRecord>();
  record->id = static_cast<int>(voices.size());
  record->pcm = std::make_shared<const std::vector<uint8_t>>(pcm);
  record->channels = channels;
  record->rate = samplesPerSec;
  record->bits = bitsPerSample;
  record->mixLevel = mixLevel;
  voices.push_back(record);
  return std::make_unique<FakeVoice>(*this, record);
}

void FakeSoundDevice::FinishAll() {
  for (auto& v : voices) v->playing = false;
}

std::vector<std::shared_ptr<VoiceRecord>> FakeSoundDevice::DuplicatesOf(int id) const {
  std::vector<std::shared_ptr<VoiceRecord>> out;
  for (const auto& v : voices) {
    if (v->duplicateOf == id) out.push_back(v);
  }
  return out;
}

uint32_t FakeMusicPlayer::SongLoadFromFile(const std::string& native) {
  // Kept with '/' between folders on every system (Windows joins them with '\\').
  const std::string path = std::filesystem::path(native).generic_string();
  log.push_back("load " + path);
  if (missing.count(path)) return 0;
  loaded.push_back(path);
  const auto handle = static_cast<uint32_t>(loaded.size());
  live_.insert(handle);
  return handle;
}

void FakeMusicPlayer::SongPlay(uint32_t song, int32_t level) {
  log.push_back("play " + std::to_string(song));
  mixLevel = level;
  if (live_.count(song)) playing_ = song;
}

void FakeMusicPlayer::SongFree(uint32_t song) {
  log.push_back("free " + std::to_string(song));
  live_.erase(song);
  if (playing_ == song) playing_ = 0;
}

std::string FakeMusicPlayer::Playing() const {
  return playing_ ? loaded[playing_ - 1] : std::string();
}

}  // namespace fake
