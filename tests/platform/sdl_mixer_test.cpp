// The sound device and module player on the real SDL2_mixer, with SDL's "disk" audio driver
// writing the mixed output (16-bit stereo) to a file.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "audio/embedded_sounds.h"
#include "audio/mix_levels.h"
#include "audio/music.h"
#include "audio/sound_bank.h"
#include "audio/test_wave.h"
#include "persistence/config.h"
#include "platform/sdl/sdl_music_player.h"
#include "platform/sdl/sdl_sound_device.h"
#include "platform/sound_levels.h"
#include "shell/menu_commands.h"

namespace fs = std::filesystem;

namespace {

struct Loudness {
  double left = 0;
  double right = 0;
  int peakLeft = 0;
  int peakRight = 0;
};

class SdlMixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out = fs::temp_directory_path() / ("starmoat-disk-audio-" + std::to_string(getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.string().c_str(), 1);
    ResetConfigState();
    ResetSoundBank();
    ResetMusicState();
    // A 400 Hz square wave, 8-bit at 8000 Hz, half a second long.
    std::vector<uint8_t> samples(4000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = (i / 10) % 2 ? 0x20 : 0xE0;
    wave = testwave::MonoWave(8000, 8, samples);
    for (auto& s : sounds) s = {"square", wave.data(), wave.size()};
  }
  void TearDown() override {
    ResetSoundBank();
    ResetMusicState();
    platform::SetServices({});
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    std::error_code ec;
    fs::remove(out, ec);
  }

  // Opens the mixer on the disk driver, runs `act`, lets the output run for `ms`, closes
  // everything and sums the absolute sample values of each channel.
  Loudness Run(const std::function<void()>& act, uint32_t ms = 400) {
    {
      platform::SdlSoundDevice device;
      platform::SdlMusicPlayer player(device);
      EXPECT_TRUE(device.IsOpen()) << SDL_GetError();
      platform::Platform services;
      services.sound = &device;
      services.music = &player;
      platform::SetServices(services);
      LoadSoundBank(sounds, kSoundEffectCount);
      DXSound1.Initialize();
      act();
      SDL_Delay(ms);
      // On a busy machine the driver's thread may start late: wait (at most 10 s) until it has
      // written a quarter of a second and a buffer more, so the figures never depend on load.
      for (int waited = 0; waited < 10'000 && WrittenBytes() < 44100u + 4096u; waited += 20) {
        SDL_Delay(20);
      }
      StopMusic();
      DestroySoundBank();
      platform::SetServices({});
    }
    std::ifstream in(out, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_GT(bytes.size(), 44100u);  // at least a quarter of a second was written
    Loudness l;
    const auto* s = reinterpret_cast<const int16_t*>(bytes.data());
    for (size_t i = 0; i + 1 < bytes.size() / 2; i += 2) {
      l.left += std::abs(s[i]);
      l.right += std::abs(s[i + 1]);
      l.peakLeft = std::max(l.peakLeft, std::abs(int(s[i])));
      l.peakRight = std::max(l.peakRight, std::abs(int(s[i + 1])));
    }
    return l;
  }

  uintmax_t WrittenBytes() const {
    std::error_code ec;
    const uintmax_t size = fs::file_size(out, ec);
    return ec ? 0 : size;
  }

  fs::path out;
  std::vector<uint8_t> wave;
  EmbeddedSound sounds[kSoundEffectCount];
};

TEST_F(SdlMixerTest, FarLeftIsLouderOnTheLeft) {
  const Loudness left = Run([] { PlaySound(0, 599, sfxHit); });
  EXPECT_GT(left.left, 1e6);
  // -40 dB on the far side.
  EXPECT_LT(left.right * 30, left.left);

  const Loudness right = Run([] { PlaySound(799, 599, sfxHit); });
  EXPECT_GT(right.right, 1e6);
  EXPECT_LT(right.left * 30, right.right);
}

// The mixer scales the full-scale samples: by the effect's level in the mix, and by the volume
// and pan of the play on top of it.
TEST_F(SdlMixerTest, EffectsPlayAtTheirLevelInTheMixUnderTheirVolumeAndPan) {
  // A full-scale 8-bit square wave: +127 and -127, 32512 on the mixer's 16-bit scale; at the
  // mixer's own rate, so that no resampling rings over its edges.
  std::vector<uint8_t> samples(22050);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = (i / 50) % 2 ? 0x01 : 0xFF;
  wave = testwave::MonoWave(44100, 8, samples);
  for (auto& s : sounds) s = {"full", wave.data(), wave.size()};
  const struct {
    int32_t x, y;  // where the event happens: pan (x - 400) * 10, volume y - 800
    double left, right;
  } cases[] = {
      {400, 800, 1.0, 1.0},         // volume 0, centred: the level in the mix alone
      {400, 200, 0.501, 0.501},     // -6 dB
      {600, 800, 0.1, 1.0},         // pan +2000: -20 dB on the left
      {300, 600, 0.794, 0.251},     // volume -200 and pan -1000: -2 dB, -10 dB more on the right
  };
  for (int32_t effect : {sfxHit, sfxSkeel}) {
    const double level = platform::MixerVolume(kEffectMixLevels[effect], 128) / 128.0;
    ASSERT_LT(level, 0.9) << "an effect at full level leaves no room to measure";
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << "effect " << effect << " at " << c.x << "," << c.y);
      const Loudness l = Run([&] { PlaySound(c.x, c.y, effect); });
      // Within the panning's steps of 1/255.
      EXPECT_NEAR(l.peakLeft, 32512 * level * c.left, 32512 * level * 0.004 + 2);
      EXPECT_NEAR(l.peakRight, 32512 * level * c.right, 32512 * level * 0.004 + 2);
    }
  }
}

TEST_F(SdlMixerTest, OverlappingPlaysAddUpBeyondTheFirstChannels) {
  // A small constant level, so that voices started a mixer period apart still add.
  wave = testwave::MonoWave(8000, 8, std::vector<uint8_t>(4000, 0x84));
  for (auto& s : sounds) s = {"level", wave.data(), wave.size()};
  const Loudness one = Run([] { PlaySound(400, 800, sfxSkeel); });
  size_t pool = 0;
  const Loudness twenty = Run([&pool] {
    for (int i = 0; i < 20; ++i) PlaySound(400, 800, sfxSkeel);
    pool = DXWaveList1.Items[sfxSkeel].Buffers.size();
  });
  EXPECT_EQ(pool, 20u);
  EXPECT_GT(one.left, 0);
  EXPECT_GT(twenty.left, one.left * 15);
}

TEST_F(SdlMixerTest, SoundOffIsSilent) {
  const Loudness l = Run([] {
    SetSound(false);
    StopMusic();
    PlaySound(0, 599, sfxHit);
    PlayEffectDirect(sfxLaser1);  // still starts, at -100 dB
  });
  EXPECT_EQ(l.left, 0);
  EXPECT_EQ(l.right, 0);
}

TEST_F(SdlMixerTest, MusicOnIsHeard) {
  const fs::path gameDir = STARMOAT_GAME_DIR;
  if (!fs::exists(gameDir / "sound" / "1.xm")) GTEST_SKIP() << "the modules are not built";
  const fs::path oldDir = fs::current_path();
  fs::current_path(gameDir);
  SetSound(false);
  const Loudness l = Run([] { PlaySong("1.xm"); }, 1500);
  fs::current_path(oldDir);
  EXPECT_GT(l.left + l.right, 1e6);
}

// The module player scales the tune by the music's level in the mix.
TEST_F(SdlMixerTest, MusicPlaysAtItsLevelInTheMix) {
  const fs::path module = fs::path(STARMOAT_GAME_DIR) / "sound" / "1.xm";
  if (!fs::exists(module)) GTEST_SKIP() << "the modules are not built";
  auto play = [&module](int32_t level) {
    return [&module, level] {
      platform::IMusicPlayer* player = platform::Services().music;
      player->SongPlay(player->SongLoadFromFile(module.string()), level);
    };
  };
  SetSound(false);
  const Loudness full = Run(play(-600), 1500);
  const Loudness half = Run(play(-1200), 1500);
  ASSERT_GT(full.left + full.right, 1e6);
  EXPECT_NEAR((half.left + half.right) / (full.left + full.right), 0.5, 0.05);
}

TEST_F(SdlMixerTest, AMissingModuleIsSilent) {
  const fs::path oldDir = fs::current_path();
  fs::current_path(fs::temp_directory_path());
  const Loudness l = Run([] { PlaySong("no-such-module.xm"); });
  fs::current_path(oldDir);
  EXPECT_EQ(Song, 0u);
  EXPECT_EQ(l.left + l.right, 0);
}

TEST(SdlSoundDeviceTest, NoAudioDeviceMeansSilenceWithoutAMessage) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  platform::SdlSoundDevice device;
  platform::SdlMusicPlayer player(device);
  unsetenv("SDL_AUDIODRIVER");
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.CreateVoice(1, 8000, 8, std::vector<uint8_t>(100, 0x80), 0), nullptr);
  EXPECT_EQ(player.SongLoadFromFile("anything.xm"), 0u);
}

}  // namespace
