// The whole program with its files split as an installed game has them: data in one folder,
// settings in the user's own folder, and a working folder that nothing is written to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config_files.h"
#include "fakes/fake_sound.h"
#include "fakes/program_harness.h"
#include "persistence/config.h"
#include "platform/file_places.h"
#include "shell/form.h"
#include "shell/program.h"
#include "shell/screen_state.h"

namespace fs = std::filesystem;

namespace {

class InstalledLayout : public ProgramHarness {
 protected:
  void BeforeCreate() override {
    // The harness's folder holds the pack: it stands for /usr/share/games/starmoat.
    work = dir / "work";
    fs::create_directories(work);
    fs::current_path(work);
    settings = dir / "home" / ".local" / "share" / "starmoat";
    platform::SetFilePlaces({dir, settings});
    platform::Platform services = fake.Services();
    services.music = &music;
    platform::SetServices(services);
    Prepare();
  }
  virtual void Prepare() {}
  void TearDown() override {
    ProgramHarness::TearDown();
    platform::SetFilePlaces({});
  }

  fs::path InSettings(const char* name) const { return settings / name; }

  fs::path work, settings;
  fake::FakeMusicPlayer music;
};

class InstalledLayoutWithDamagedFile : public InstalledLayout {
 protected:
  void Prepare() override {
    fs::create_directories(settings);
    WriteBytes(InSettings(kConfigFileName).string(), Bytes{0, 1, 1});
  }
};

}  // namespace

TEST_F(InstalledLayout, FirstStartMakesTheSettingsFolderAndReadsTheDataFolder) {
  ASSERT_TRUE(fs::is_regular_file(InSettings(kConfigFileName)));
  EXPECT_EQ(ReadBytes(InSettings(kConfigFileName).string()), FileBytes(TOptions{}, DefaultTable()));
#if !defined(_WIN32)  // Windows folders carry access lists, not POSIX mode bits
  EXPECT_EQ(fs::status(settings).permissions(), fs::perms::owner_all);
#endif
  EXPECT_TRUE(fs::is_empty(work)) << "nothing is written to the working folder";
  ASSERT_FALSE(music.loaded.empty());
  EXPECT_EQ(music.loaded.front(), (dir / "sound" / "1.xm").generic_string());
  EXPECT_EQ(ScreenState, ssIntro);
  EXPECT_GT(fake.display.presentCount, 0);
}

TEST_F(InstalledLayout, SavingWritesTheSettingsFolderOnly) {
  ::Settings.Music = false;
  ASSERT_TRUE(SaveConfig());
  EXPECT_EQ(ReadBytes(InSettings(kConfigFileName).string())[1], 0);
  EXPECT_TRUE(fs::is_empty(work));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(settings)) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{kConfigFileName}) << "no temporary file is left";
}

TEST_F(InstalledLayoutWithDamagedFile, KeepsTheDamagedFileBesideTheNewOne) {
  EXPECT_EQ(ReadBytes(InSettings(kDamagedConfigFileName).string()), (Bytes{0, 1, 1}));
  EXPECT_EQ(ReadBytes(InSettings(kConfigFileName).string()).size(), 145u);
  EXPECT_FALSE(::Settings.Windowed) << "the fields read before the end keep their values";
  EXPECT_TRUE(fs::is_empty(work));
}

TEST_F(InstalledLayout, CompanionFilesAreOpenedFromTheDataFolder) {
  Form1->FormDestroy();
  delete Form1;
  Form1 = nullptr;
  ScreenState = ssMainMenu;
  MayClose = true;
  std::ofstream(dir / "zarnel.exe") << "x";
  std::ofstream(work / "Kelvo.url") << "x";  // in the working folder: not looked at
  fake.events.Push(Event(platform::WindowEvent::CloseRequested));
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_EQ(fake.shell.opened, (std::vector<std::string>{(dir / "zarnel.exe").string()}));
}
