// The balance of the mix as a player hears it, mixed by the real SDL2_mixer and recorded by
// SDL's "disk" audio driver: a minute of busy play with music and sound on never reaches full
// scale and sits at a comfortable loudness, the menu tune and the game tune are about equally
// loud (the volume a player sets on the menus still suits the game), and the effects of a fight
// stand clearly above the game's tune. Loudness is integrated loudness after EBU R128.
//
// The driver writes into a pipe whose buffer holds one mixer period, and the test reads from it
// as the game's frames go by (15.625 ms of output per 64 Hz frame): the mixer blocks while it
// is a period or two ahead, so the recording follows the game's time however fast or slow
// either side runs, also on a loaded machine.
//
// With STARMOAT_MIX_WAV_DIR set, every recording is also written there as a WAV file, for
// listening or for other meters.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/loudness.h"
#include "audio/music.h"
#include "audio/sound_bank.h"
#include "audio/test_wave.h"
#include "fakes/autopilot.h"
#include "fakes/program_harness.h"
#include "game/game.h"
#include "game/random.h"
#include "persistence/config.h"
#include "platform/sdl/sdl_music_player.h"
#include "platform/sdl/sdl_sound_device.h"
#include "shell/form.h"
#include "shell/screen_state.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;
constexpr int kFramesPerSecond = 64;
// 16-bit stereo at 44100 Hz: bytes of output per 64 Hz frame, on average.
constexpr double kBytesPerFrame = kRate * 4.0 / kFramesPerSecond;

// What a player hears as balanced: the tunes within 3 LU of each other, a fight at a
// comfortable loudness, its effects 6 to 10 LU above the tune that plays under them.
constexpr double kTunesApart = 3;
constexpr double kBusyQuietest = -20, kBusyLoudest = -14;
constexpr double kEffectsAboveLeast = 6, kEffectsAboveMost = 10;

struct Recording {
  std::vector<int16_t> samples;  // interleaved left, right

  // The samples between two byte positions of the output (to the end when `to` is 0).
  loudness::Figures Measure(uint64_t from = 0, uint64_t to = 0) const {
    const size_t first = std::min<size_t>(from / 2, samples.size()) & ~size_t(1);
    const size_t last = to == 0 ? samples.size() : std::min<size_t>(to / 2, samples.size());
    return loudness::Measure(samples.data() + first, last - first, kRate);
  }
};

void WriteWav(const fs::path& path, const std::vector<int16_t>& samples) {
  std::vector<uint8_t> fmt = testwave::FmtBody(2, kRate, 16);
  std::vector<uint8_t> data(samples.size() * 2);
  std::memcpy(data.data(), samples.data(), data.size());
  std::vector<uint8_t> body{'W', 'A', 'V', 'E'};
  testwave::PutChunk(body, "fmt ", fmt);
  testwave::PutChunk(body, "data", data);
  std::vector<uint8_t> file;
  testwave::PutChunk(file, "RIFF", body);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

class MixHeadroomTest : public ProgramHarness {
 protected:
  void BeforeCreate() override {
    const fs::path sound = fs::path(STARMOAT_GAME_DIR) / "sound";
    if (!fs::exists(sound / "1.xm") || !fs::exists(sound / "2.xm")) return;
    fs::create_directory_symlink(sound, dir / "sound");
    const fs::path pipe = dir / "mix.pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // Opened for reading first, so that the driver's opening for writing does not wait.
    pipe_ = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(pipe_, 0);
    ASSERT_GE(fcntl(pipe_, F_SETPIPE_SZ, 4096), 4096) << "one mixer period: 1024 frames";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", pipe.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    device_ = std::make_unique<platform::SdlSoundDevice>();
    player_ = std::make_unique<platform::SdlMusicPlayer>(*device_);
    if (!device_->IsOpen()) return;
    ASSERT_EQ(fcntl(pipe_, F_SETFL, 0), 0);  // reads wait for the mixer from now on
    platform::Platform services = fake.Services();
    services.sound = device_.get();
    services.music = player_.get();
    platform::SetServices(services);
    Settings.Music = true;
    Settings.Sound = true;
  }

  void TearDown() override {
    Close();
    ProgramHarness::TearDown();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");
  }

  bool Ready() const { return device_ && device_->IsOpen() && pipe_ >= 0; }

  // Takes the mixer's output until `frames` frames' worth is recorded.
  void MixUpTo(int frames) {
    const auto target = static_cast<size_t>(frames * kBytesPerFrame) & ~size_t(3);
    while (bytes_.size() < target) {
      char buffer[4096];
      const ssize_t got = read(pipe_, buffer, std::min(sizeof buffer, target - bytes_.size()));
      ASSERT_GT(got, 0) << "the mixer stopped";
      bytes_.insert(bytes_.end(), buffer, buffer + got);
    }
  }

  // Lets whatever plays run on for `seconds`, with no game frames.
  void Listen(int seconds) {
    frames_ += seconds * kFramesPerSecond;
    MixUpTo(frames_);
  }

  // Where the recording stands now, in bytes.
  uint64_t Mark() const { return bytes_.size(); }

  // Plays `seconds` of the game with the autopilot, a new game whenever one ends; returns how
  // many games were played.
  int PlayBusy(int seconds) {
    ScreenState = ssPlaying;
    Game = std::make_unique<TGame>();
    Randomize(7);
    Autopilot pilot;
    int games = 1;
    for (int frame = 1; frame <= seconds * kFramesPerSecond; ++frame) {
      if (Game->Status == gsGameOver) {
        Game = std::make_unique<TGame>();
        ++games;
      }
      fake.input.keys = pilot.Decide(*Game);
      Frame();
      EXPECT_EQ(ScreenState, ssPlaying);
      MixUpTo(++frames_);
      if (HasFatalFailure() || ScreenState != ssPlaying) break;
    }
    return games;
  }

  // Stops the program's sound and closes the mixer; the driver's last writes are drained so
  // that it can finish.
  void Close() {
    if (pipe_ < 0) return;
    std::thread drain([fd = pipe_] {
      char buffer[4096];
      while (read(fd, buffer, sizeof buffer) > 0) {
      }
    });
    if (Form1) Form1->FormDestroy();  // stops the music and the voices
    player_.reset();
    device_.reset();  // the driver closes its end: the drain sees the end of the pipe
    platform::SetServices(fake.Services());
    drain.join();
    close(pipe_);
    pipe_ = -1;
  }

  Recording Take() {
    Close();
    Recording r;
    r.samples.resize(bytes_.size() / 2);
    std::memcpy(r.samples.data(), bytes_.data(), r.samples.size() * 2);
    if (const char* keep = std::getenv("STARMOAT_MIX_WAV_DIR")) {
      const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
      WriteWav(fs::path(keep) / (std::string(test->name()) + ".wav"), r.samples);
    }
    return r;
  }

  int pipe_ = -1;
  std::vector<char> bytes_;  // the mixer's output so far
  std::unique_ptr<platform::SdlSoundDevice> device_;
  std::unique_ptr<platform::SdlMusicPlayer> player_;
  int frames_ = 0;  // game frames' worth of output taken so far
};

TEST_F(MixHeadroomTest, ABusyMinuteNeverReachesFullScaleAndIsComfortablyLoud) {
  if (!Ready()) GTEST_SKIP() << "no modules built, or SDL's disk audio driver is missing";
  ScreenState = ssPlaying;
  Form1->ApplicationEvents1Activate();  // the game's tune, as when the play command starts it
  const int games = PlayBusy(60);
  if (HasFatalFailure()) return;
  const Recording r = Take();
  ASSERT_GE(r.samples.size(), static_cast<size_t>(60 * kFramesPerSecond * kBytesPerFrame / 2));

  // The loudness of each second (RMS over both channels): never (nearly) silent.
  double loudest = 0, quietest = 1e9;
  const size_t perSecond = kRate * 2;
  for (size_t start = 0; start + perSecond <= r.samples.size(); start += perSecond) {
    double sum = 0;
    for (size_t i = start; i < start + perSecond; ++i) sum += double(r.samples[i]) * r.samples[i];
    const double rms = std::sqrt(sum / perSecond);
    loudest = std::max(loudest, rms);
    quietest = std::min(quietest, rms);
  }
  const loudness::Figures all = r.Measure();
  std::printf(
      "busy minute: %d game(s); %.1f LUFS; peak %d (%.1f dBFS); RMS per second %.0f .. %.0f; "
      "%zu full-scale samples of %zu\n",
      games, all.lufs, all.peak, loudness::PeakDbfs(all.peak), quietest, loudest, all.fullScale,
      r.samples.size());
  EXPECT_GT(quietest, 300) << "the recording is (nearly) silent: no music?";
  EXPECT_EQ(all.fullScale, 0u) << "the mix clips";
  EXPECT_GE(all.lufs, kBusyQuietest) << "a fight is too quiet";
  EXPECT_LE(all.lufs, kBusyLoudest) << "a fight is too loud";
}

TEST_F(MixHeadroomTest, TheMenuTuneAndTheGameTuneAreAboutEquallyLoud) {
  if (!Ready()) GTEST_SKIP() << "no modules built, or SDL's disk audio driver is missing";
  ScreenState = ssMainMenu;
  Form1->ApplicationEvents1Activate();  // the menu tune
  Listen(60);
  const uint64_t gameTune = Mark();
  ScreenState = ssPlaying;
  Form1->ApplicationEvents1Activate();  // the game's tune, from its beginning
  Listen(60);
  if (HasFatalFailure()) return;
  const Recording r = Take();
  const loudness::Figures menu = r.Measure(0, gameTune);
  // The game tune from the mixer period after the switch on.
  const loudness::Figures game = r.Measure(gameTune + 4096);
  std::printf("menu tune %.1f LUFS, peak %.1f dBFS; game tune %.1f LUFS, peak %.1f dBFS\n",
              menu.lufs, loudness::PeakDbfs(menu.peak), game.lufs, loudness::PeakDbfs(game.peak));
  EXPECT_GT(menu.lufs, -40) << "the menu tune is (nearly) silent";
  EXPECT_GT(game.lufs, -40) << "the game tune is (nearly) silent";
  EXPECT_NEAR(menu.lufs, game.lufs, kTunesApart);
  EXPECT_EQ(menu.fullScale + game.fullScale, 0u);
}

TEST_F(MixHeadroomTest, TheEffectsOfAFightStandAboveTheGameTune) {
  if (!Ready()) GTEST_SKIP() << "no modules built, or SDL's disk audio driver is missing";
  ScreenState = ssPlaying;
  Form1->ApplicationEvents1Activate();  // the game's tune alone
  Listen(60);
  const uint64_t fight = Mark();
  Settings.Music = false;
  Form1->ApplicationEvents1Activate();  // silence; then the fight's effects alone
  PlayBusy(60);
  if (HasFatalFailure()) return;
  const Recording r = Take();
  const loudness::Figures tune = r.Measure(0, fight);
  const loudness::Figures effects = r.Measure(fight);
  std::printf("game tune %.1f LUFS; the fight's effects alone %.1f LUFS (%+.1f LU)\n", tune.lufs,
              effects.lufs, effects.lufs - tune.lufs);
  EXPECT_GE(effects.lufs - tune.lufs, kEffectsAboveLeast) << "the effects drown in the music";
  EXPECT_LE(effects.lufs - tune.lufs, kEffectsAboveMost) << "the music is lost under the effects";
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
  const size_t window = kRate * 2 / 20;
  double effects = 0;
  for (size_t at = perFrame * kMusicFrames; at + window <= r.samples.size(); at += window / 4) {
    effects = std::max(effects, rms(at, window));
  }
  std::printf("music RMS %.0f, effects (with the music) %.0f\n", music, effects);
  EXPECT_GT(music, 300) << "the music is (nearly) silent";
  EXPECT_GT(effects, 3 * music) << "the effects drown in the music";
}

}  // namespace
