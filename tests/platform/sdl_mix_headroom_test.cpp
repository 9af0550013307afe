// A minute of busy play with music and sound on, mixed by the real SDL2_mixer and recorded by
// SDL's "disk" audio driver: the mix never reaches full scale (no clipping), and the effects
// stay clearly louder than the music.
//
// The driver runs as fast as it can (no delay); the test holds the audio device locked while a
// frame is computed and lets it mix the frame's 15.625 ms of output (to the next whole mixer
// period) before the next, so the recording follows the game's time however fast either side
// runs.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "audio/music.h"
#include "fakes/autopilot.h"
#include "fakes/program_harness.h"
#include "game/game.h"
#include "game/random.h"
#include "persistence/config.h"
#include "platform/sdl/sdl_music_player.h"
#include "platform/sdl/sdl_sound_device.h"
#include "audio/sound_bank.h"
#include "shell/form.h"
#include "shell/screen_state.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFramesPerSecond = 64;
// 16-bit stereo at 44100 Hz: bytes of output per 64 Hz frame, on average.
constexpr double kBytesPerFrame = 44100.0 * 4 / kFramesPerSecond;
// SDL opens the mixer's device as the first one after the legacy device 1.
constexpr SDL_AudioDeviceID kMixerDevice = 2;

// Bytes the mixer has handed to the driver, counted after each mixer period.
std::atomic<uint64_t> gMixed{0};
void CountMixed(void*, Uint8*, int len) { gMixed += static_cast<uint64_t>(len); }

struct Recording {
  std::vector<int16_t> samples;  // interleaved left, right
};

class MixHeadroomTest : public ProgramHarness {
 protected:
  void BeforeCreate() override {
    const fs::path sound = fs::path(STARMOAT_GAME_DIR) / "sound";
    if (!fs::exists(sound / "1.xm") || !fs::exists(sound / "2.xm")) return;
    fs::create_directory_symlink(sound, dir / "sound");
    out_ = dir / "mix.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out_.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    device_ = std::make_unique<platform::SdlSoundDevice>();
    player_ = std::make_unique<platform::SdlMusicPlayer>(*device_);
    if (!device_->IsOpen()) return;
    // Held from the start: the driver writes nothing until the first frame lets it.
    SDL_LockAudioDevice(kMixerDevice);
    locked_ = true;
    gMixed = 0;
    Mix_SetPostMix(CountMixed, nullptr);
    platform::Platform services = fake.Services();
    services.sound = device_.get();
    services.music = player_.get();
    platform::SetServices(services);
    Settings.Music = true;
    Settings.Sound = true;
  }

  void TearDown() override {
    if (locked_) {
      Mix_SetPostMix(nullptr, nullptr);
      SDL_UnlockAudioDevice(kMixerDevice);
    }
    ProgramHarness::TearDown();
    player_.reset();
    device_.reset();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");
  }

  bool Ready() const { return device_ && device_->IsOpen() && locked_; }

  // Lets the mixer run until `frames` frames' worth of output is mixed, then holds it again.
  // Each release lets at most a period or two through, so the output never runs far ahead.
  void MixUpTo(int frames) {
    const auto target = static_cast<uint64_t>(frames * kBytesPerFrame);
    while (gMixed < target) {
      const uint64_t before = gMixed;
      SDL_UnlockAudioDevice(kMixerDevice);
      for (int i = 0; i < 100000 && gMixed == before; ++i) SDL_Delay(0);
      SDL_LockAudioDevice(kMixerDevice);
      ASSERT_NE(gMixed, before) << "the mixer stopped";
    }
  }

  Recording Take() {
    Mix_SetPostMix(nullptr, nullptr);
    SDL_UnlockAudioDevice(kMixerDevice);
    locked_ = false;
    Form1->FormDestroy();  // stops the music and the voices
    player_.reset();
    device_.reset();  // closes the file
    platform::SetServices(fake.Services());
    Recording r;
    std::ifstream in(out_, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    r.samples.resize(bytes.size() / 2);
    std::memcpy(r.samples.data(), bytes.data(), r.samples.size() * 2);
    return r;
  }

  fs::path out_;
  std::unique_ptr<platform::SdlSoundDevice> device_;
  std::unique_ptr<platform::SdlMusicPlayer> player_;
  bool locked_ = false;
};

TEST_F(MixHeadroomTest, ABusyMinuteNeverReachesFullScale) {
  if (!Ready()) GTEST_SKIP() << "no modules built, or SDL's disk audio driver is missing";
  ASSERT_EQ(SDL_GetAudioDeviceStatus(kMixerDevice), SDL_AUDIO_PLAYING)
      << "the mixer's device is not the one held";
  ScreenState = ssPlaying;
  Game = std::make_unique<TGame>();
  Randomize(7);
  Form1->ApplicationEvents1Activate();  // the game's tune, as when the play command starts it
  Autopilot pilot;
  const int kFrames = kFramesPerSecond * 60;
  int games = 1;
  for (int frame = 1; frame <= kFrames; ++frame) {
    if (Game->Status == gsGameOver) {
      Game = std::make_unique<TGame>();
      ++games;
    }
    fake.input.keys = pilot.Decide(*Game);
    Frame();
    ASSERT_EQ(ScreenState, ssPlaying);
    MixUpTo(frame);
    if (HasFatalFailure()) return;
  }
  const Recording r = Take();
  ASSERT_GE(r.samples.size(), static_cast<size_t>(kFrames * kBytesPerFrame / 2));

  // Full scale, and the loudness of each second (RMS over both channels).
  size_t full = 0;
  int peak = 0;
  double loudest = 0, quietest = 1e9;
  const size_t perSecond = 44100 * 2;
  for (size_t start = 0; start + perSecond <= r.samples.size(); start += perSecond) {
    double sum = 0;
    for (size_t i = start; i < start + perSecond; ++i) {
      const int s = r.samples[i];
      if (s >= 32767 || s <= -32767) ++full;
      peak = std::max(peak, std::abs(s));
      sum += double(s) * s;
    }
    const double rms = std::sqrt(sum / perSecond);
    loudest = std::max(loudest, rms);
    quietest = std::min(quietest, rms);
  }
  std::printf("%d game(s); peak %d; RMS per second %.0f .. %.0f; %zu full-scale samples of %zu\n",
              games, peak, quietest, loudest, full, r.samples.size());
  EXPECT_GT(quietest, 300) << "the recording is (nearly) silent: no music?";
  EXPECT_EQ(full, 0u) << "the mix clips";
}

TEST_F(MixHeadroomTest, EffectsStandClearlyAboveTheMusic) {
  if (!Ready()) GTEST_SKIP() << "no modules built, or SDL's disk audio driver is missing";
  ScreenState = ssPlaying;
  Form1->ApplicationEvents1Activate();  // the game's tune
  const int kMusicFrames = kFramesPerSecond * 3;
  MixUpTo(kMusicFrames);
  // A shot and an explosion where the player's ship flies, as the game plays them.
  PlaySound(400, 500, sfxLaser1);
  PlaySound(400, 500, sfxHit);
  MixUpTo(kMusicFrames + kFramesPerSecond / 2);
  const Recording r = Take();
  auto rms = [&r](size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count && i < r.samples.size(); ++i) {
      sum += double(r.samples[i]) * r.samples[i];
    }
    return std::sqrt(sum / double(count));
  };
  const size_t perFrame = static_cast<size_t>(kBytesPerFrame / 2);
  // The music over its last two seconds, the effects over their loudest 50 ms.
  const double music = rms(perFrame * kFramesPerSecond, perFrame * kFramesPerSecond * 2);
  const size_t window = 44100 * 2 / 20;
  double effects = 0;
  for (size_t at = perFrame * kMusicFrames; at + window <= r.samples.size(); at += window / 4) {
    effects = std::max(effects, rms(at, window));
  }
  std::printf("music RMS %.0f, effects (with the music) %.0f\n", music, effects);
  EXPECT_GT(music, 300) << "the music is (nearly) silent";
  EXPECT_GT(effects, 3 * music) << "the effects drown in the music";
}

}  // namespace
