#include "audio/sound_bank.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "audio/embedded_sounds.h"
#include "audio/test_wave.h"
#include "fakes/fake_sound.h"
#include "persistence/config.h"
#include "shell/menu_commands.h"

namespace {

// The globals these tests touch, as at start-up.
void ResetAudio() {
  ResetConfigState();
  ResetSoundBank();
}

class SoundBankTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAudio();
    platform::Platform services;
    services.sound = &device;
    platform::SetServices(services);
    // Seven small effects, each with its own length so the voices tell them apart.
    for (int i = 0; i < kSoundEffectCount; ++i) {
      waves[i] = testwave::MonoWave(8000 + i, 8, std::vector<uint8_t>(10 + i, 0x80));
      sounds[i] = {"effect", waves[i].data(), waves[i].size()};
    }
  }
  void TearDown() override {
    ResetAudio();
    platform::SetServices({});
  }

  // The window's components: waves read, device initialised.
  void CreateBank() {
    LoadSoundBank(sounds, kSoundEffectCount);
    DXSound1.Initialize();
  }

  TWaveCollectionItem& Item(int i) { return DXWaveList1.Items[i]; }
  int MainVoice(int i) { return i; }  // main voices are created in bank order

  fake::FakeSoundDevice device;
  std::vector<uint8_t> waves[kSoundEffectCount];
  EmbeddedSound sounds[kSoundEffectCount];
};

TEST_F(SoundBankTest, ItemsComeInTheFixedOrderWithTheirFormats) {
  const char* names[] = {"MenuClick", "Hit", "Laser_1", "Plasma", "Rocket", "Skeel", "NewStage"};
  CreateBank();
  ASSERT_EQ(DXWaveList1.Items.size(), 7u);
  ASSERT_EQ(device.voices.size(), 7u);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Item(i).Name, names[i]);
    EXPECT_TRUE(Item(i).Initialized);
    EXPECT_FALSE(Item(i).Looped());
    EXPECT_EQ(Item(i).MaxPlayingCount(), 0);
    EXPECT_EQ(Item(i).Frequency(), 0);
    EXPECT_EQ(device.voices[i]->rate, 8000u + i);
    EXPECT_EQ(device.voices[i]->bits, 8);
    EXPECT_EQ(device.voices[i]->pcm->size(), 10u + i);
    EXPECT_EQ(device.voices[i]->calls,
              (std::vector<std::string>{"Frequency 0", "Pan 0", "Volume 0"}));
  }
}

TEST_F(SoundBankTest, PositionGivesPanAndVolume) {
  CreateBank();
  const struct {
    int32_t x, y, effect, pan, volume;
  } cases[] = {
      {0, 0, sfxMenuClick, -4000, -800},
      {799, 599, sfxMenuClick, 3990, -201},
      {400, 100, sfxNewStage, 0, -700},
      {120, 430, sfxHit, -2800, -370},
  };
  for (const auto& c : cases) {
    device.plays.clear();
    PlaySound(c.x, c.y, c.effect);
    ASSERT_EQ(device.plays.size(), 1u);
    const auto& voice = *device.voices[device.plays[0].voice];
    EXPECT_EQ(voice.duplicateOf, MainVoice(c.effect));
    EXPECT_EQ(device.plays[0].pan, c.pan) << c.x;
    EXPECT_EQ(device.plays[0].volume, c.volume) << c.y;
    EXPECT_FALSE(device.plays[0].looped);
    EXPECT_EQ(voice.calls.back(), "Play");
    // The started voice is stopped, rewound and set up before it starts.
    const std::vector<std::string> last5(voice.calls.end() - 5, voice.calls.end());
    EXPECT_EQ(last5, (std::vector<std::string>{"Stop", "Frequency 0", "Pan " + std::to_string(c.pan),
                                               "Volume " + std::to_string(c.volume), "Play"}));
    // The item keeps the levels, and its main voice follows them at once.
    EXPECT_EQ(Item(c.effect).Pan(), c.pan);
    EXPECT_EQ(Item(c.effect).Volume(), c.volume);
    EXPECT_EQ(device.voices[MainVoice(c.effect)]->pan, c.pan);
    EXPECT_EQ(device.voices[MainVoice(c.effect)]->volume, c.volume);
    device.FinishAll();
  }
}

TEST_F(SoundBankTest, SoundOffSilencesEverything) {
  CreateBank();
  PlaySound(100, 300, sfxHit);
  device.FinishAll();
  SetSound(false);
  EXPECT_FALSE(Settings.Sound);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Item(i).Volume(), -10000);
    EXPECT_EQ(device.voices[MainVoice(i)]->volume, -10000);
  }
  device.plays.clear();
  PlaySound(700, 50, sfxHit);
  EXPECT_TRUE(device.plays.empty());
  EXPECT_EQ(Item(sfxHit).Pan(), -3000);  // untouched by the silent call
  EXPECT_EQ(Item(sfxHit).Volume(), -10000);

  // The direct plays still start, at the minimum volume.
  PlayEffectDirect(sfxLaser1);
  ASSERT_EQ(device.plays.size(), 1u);
  EXPECT_EQ(device.plays[0].volume, -10000);

  SetSound(true);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Item(i).Volume(), 0);
  PlayEffectDirect(sfxLaser1);
  EXPECT_EQ(device.plays.back().volume, 0);
}

TEST_F(SoundBankTest, TenSkeelPlaysInOneFrameGrowThePool) {
  CreateBank();
  for (int i = 0; i < 10; ++i) PlaySound(i * 80, 395, sfxSkeel);
  const auto duplicates = device.DuplicatesOf(MainVoice(sfxSkeel));
  ASSERT_EQ(duplicates.size(), 10u);
  EXPECT_EQ(Item(sfxSkeel).Buffers.size(), 10u);
  ASSERT_EQ(device.plays.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(device.plays[i].voice, duplicates[i]->id);
    EXPECT_EQ(device.plays[i].pan, -4000 + 800 * i);
    EXPECT_EQ(device.plays[i].volume, -405);
    EXPECT_TRUE(duplicates[i]->playing);
    // Duplicates share the main voice's samples.
    EXPECT_EQ(duplicates[i]->pcm, device.voices[MainVoice(sfxSkeel)]->pcm);
  }
}

TEST_F(SoundBankTest, FinishedDuplicatesAreReusedFromTheFront) {
  CreateBank();
  for (int i = 0; i < 3; ++i) PlaySound(400, 300, sfxRocket);
  auto pool = device.DuplicatesOf(MainVoice(sfxRocket));
  ASSERT_EQ(pool.size(), 3u);

  pool[1]->playing = false;  // the middle one ends first
  PlaySound(10, 300, sfxRocket);
  EXPECT_EQ(device.plays.back().voice, pool[1]->id);

  device.FinishAll();
  PlaySound(20, 300, sfxRocket);
  PlaySound(30, 300, sfxRocket);
  EXPECT_EQ(device.plays[device.plays.size() - 2].voice, pool[0]->id);
  EXPECT_EQ(device.plays.back().voice, pool[1]->id);
  EXPECT_EQ(device.DuplicatesOf(MainVoice(sfxRocket)).size(), 3u);

  // All busy again: the pool grows by one.
  PlaySound(40, 300, sfxRocket);
  PlaySound(50, 300, sfxRocket);
  EXPECT_EQ(device.DuplicatesOf(MainVoice(sfxRocket)).size(), 4u);
}

TEST_F(SoundBankTest, DirectPlaysUseTheLastPanAndVolume) {
  CreateBank();
  PlaySound(150, 420, sfxMenuClick);
  PlayEffectDirect(sfxMenuClick);
  ASSERT_EQ(device.plays.size(), 2u);
  EXPECT_EQ(device.plays[1].pan, -2500);
  EXPECT_EQ(device.plays[1].volume, -380);
  // The first click is still playing, so the direct play takes a second duplicate.
  EXPECT_NE(device.plays[1].voice, device.plays[0].voice);

  // Never positioned: centred, full volume.
  PlayEffectDirect(sfxLaser1);
  EXPECT_EQ(device.plays[2].pan, 0);
  EXPECT_EQ(device.plays[2].volume, 0);
}

TEST_F(SoundBankTest, WithoutADeviceEveryPlayReturnsAtOnce) {
  for (bool haveDevice : {false, true}) {
    ResetAudio();
    device.open = false;
    platform::Services().sound = haveDevice ? &device : nullptr;
    CreateBank();
    for (int i = 0; i < 7; ++i) EXPECT_FALSE(Item(i).Initialized);
    PlaySound(0, 0, sfxSkeel);
    PlayEffectDirect(sfxLaser1);
    SetSound(false);
    EXPECT_TRUE(device.voices.empty());
    EXPECT_TRUE(device.plays.empty());
    EXPECT_EQ(Item(sfxSkeel).Pan(), -4000);  // the item still keeps its levels
    EXPECT_EQ(Item(sfxSkeel).Volume(), -10000);
  }
}

TEST_F(SoundBankTest, VoicesTheDeviceRefusesLeaveThatEffectSilent) {
  device.refuseVoices = true;
  CreateBank();
  PlaySound(0, 0, sfxHit);
  EXPECT_TRUE(device.plays.empty());

  ResetAudio();
  device.refuseVoices = false;
  device.refuseDuplicates = true;
  CreateBank();
  PlaySound(0, 0, sfxHit);
  EXPECT_TRUE(device.plays.empty());
  EXPECT_TRUE(Item(sfxHit).Buffers.empty());
}

TEST_F(SoundBankTest, AnEffectWithoutSamplesHasNoVoice) {
  waves[sfxPlasma] = testwave::Riff({});
  sounds[sfxPlasma] = {"Plasma", waves[sfxPlasma].data(), waves[sfxPlasma].size()};
  CreateBank();
  EXPECT_EQ(device.voices.size(), 6u);
  EXPECT_TRUE(Item(sfxPlasma).Initialized);
  EXPECT_EQ(Item(sfxPlasma).Buffer, nullptr);
  PlaySound(0, 0, sfxPlasma);
  EXPECT_TRUE(device.plays.empty());
}

TEST_F(SoundBankTest, AtTheCountLimitTheOldestVoiceIsRestarted) {
  CreateBank();
  TWaveCollectionItem& hit = Item(sfxHit);
  hit.SetMaxPlayingCount(-3);
  EXPECT_EQ(hit.MaxPlayingCount(), 0);
  hit.SetMaxPlayingCount(2);
  PlaySound(100, 0, sfxHit);
  PlaySound(200, 0, sfxHit);
  const auto pool = device.DuplicatesOf(MainVoice(sfxHit));
  ASSERT_EQ(pool.size(), 2u);
  PlaySound(300, 0, sfxHit);
  EXPECT_EQ(device.DuplicatesOf(MainVoice(sfxHit)).size(), 2u);
  EXPECT_EQ(device.plays.back().voice, pool[0]->id);
  // The restarted voice went to the end: the next cut-off takes the other one.
  PlaySound(400, 0, sfxHit);
  EXPECT_EQ(device.plays.back().voice, pool[1]->id);

  // A new limit frees the pool.
  hit.SetMaxPlayingCount(0);
  EXPECT_TRUE(hit.Buffers.empty());
  EXPECT_FALSE(pool[0]->alive);
}

TEST_F(SoundBankTest, LoopedItemsPlayTheirMainVoice) {
  CreateBank();
  TWaveCollectionItem& stage = Item(sfxNewStage);
  PlaySound(0, 0, sfxNewStage);
  auto& main = *device.voices[MainVoice(sfxNewStage)];
  const auto duplicate = device.DuplicatesOf(MainVoice(sfxNewStage)).at(0);
  stage.SetLooped(true);
  EXPECT_FALSE(duplicate->playing);  // a change stops every voice
  main.calls.clear();
  stage.Play(false);
  EXPECT_EQ(main.calls, (std::vector<std::string>{"Stop", "Play looped"}));
  EXPECT_EQ(device.DuplicatesOf(MainVoice(sfxNewStage)).size(), 1u);
}

TEST_F(SoundBankTest, WaitingPollsUntilTheVoiceEnds) {
  struct EndingClock : platform::IClock {
    uint32_t TickCount() override { return 0; }
    void Sleep(uint32_t ms) override {
      slept.push_back(ms);
      if (slept.size() == 3) device->FinishAll();
    }
    uint32_t MsUntilNextTick() override { return 0; }
    fake::FakeSoundDevice* device = nullptr;
    std::vector<uint32_t> slept;
  } clock;
  clock.device = &device;
  platform::Services().clock = &clock;
  CreateBank();
  Item(sfxMenuClick).Play(true);
  EXPECT_EQ(clock.slept, (std::vector<uint32_t>{10, 10, 10}));
}

TEST_F(SoundBankTest, AnIndexOutsideTheBankIsACallerError) {
  CreateBank();
  EXPECT_THROW(PlaySound(0, 0, 7), std::out_of_range);
  EXPECT_THROW(PlaySound(0, 0, -1), std::out_of_range);
  EXPECT_THROW(PlayEffectDirect(7), std::out_of_range);
}

TEST_F(SoundBankTest, DestroyingTheBankFreesEveryVoice) {
  CreateBank();
  PlaySound(0, 0, sfxHit);
  DestroySoundBank();
  for (const auto& v : device.voices) EXPECT_FALSE(v->alive);
  for (int i = 0; i < 7; ++i) EXPECT_FALSE(Item(i).Initialized);
}

}  // namespace

namespace {

// The effects the program carries, read through the bank: the formats and lengths it was
// made with, one main voice each.
TEST(EmbeddedSoundsTest, TheBankReadsTheCarriedEffects) {
  const struct {
    const char* name;
    uint32_t rate;
    uint16_t bits;
    size_t dataBytes;
  } table[] = {{"MenuClick", 8000, 8, 368},    {"Hit", 16000, 8, 16755},
               {"Laser_1", 16000, 8, 2603},    {"Plasma", 22050, 16, 29952},
               {"Rocket", 22050, 8, 24130},    {"Skeel", 8000, 8, 14675},
               {"NewStage", 11025, 8, 73094}};
  ResetSoundBank();
  fake::FakeSoundDevice device;
  platform::Platform services;
  services.sound = &device;
  platform::SetServices(services);
  CreateSoundBank();
  ASSERT_EQ(device.voices.size(), 7u);
  for (int i = 0; i < 7; ++i) {
    EXPECT_STREQ(kEmbeddedSounds[i].name, table[i].name);
    EXPECT_EQ(DXWaveList1.Items[i].Name, table[i].name);
    EXPECT_EQ(device.voices[i]->channels, 1) << table[i].name;
    EXPECT_EQ(device.voices[i]->rate, table[i].rate) << table[i].name;
    EXPECT_EQ(device.voices[i]->bits, table[i].bits) << table[i].name;
    EXPECT_EQ(device.voices[i]->pcm->size(), table[i].dataBytes) << table[i].name;
  }
  DestroySoundBank();
  ResetSoundBank();
  platform::SetServices({});
}

}  // namespace
