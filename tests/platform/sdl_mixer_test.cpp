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
#include "audio/music.h"
#include "audio/sound_bank.h"
#include "audio/test_wave.h"
#include "persistence/config.h"
#include "platform/sdl/sdl_music_player.h"
#include "platform/sdl/sdl_sound_device.h"
#include "shell/menu_commands.h"

namespace fs = std::filesystem;

namespace {

struct Loudness {
  double left = 0;
  double right = 0;
};

class SdlMixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out = fs::temp_directory_path() / ("starmoat-disk-audio-" + std::to_string(getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
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
    }
    return l;
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
  EXPECT_EQ(device.CreateVoice(1, 8000, 8, std::vector<uint8_t>(100, 0x80)), nullptr);
  EXPECT_EQ(player.SongLoadFromFile("anything.xm"), 0u);
}

}  // namespace
