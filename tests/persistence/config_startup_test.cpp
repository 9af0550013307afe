// The settings file read by the starting program: its values reach the display and the sound
// switch, and no file problem keeps the program from showing frames.
#include <gtest/gtest.h>

#include <filesystem>

#include "config_files.h"
#include "fakes/program_harness.h"
#include "graphics/dd_edit.h"
#include "graphics/widgets.h"
#include "persistence/config.h"

namespace {

TOptions FileOptions() {
  TOptions o;
  o.Windowed = false;
  o.Sound = false;
  o.Country = "Peru";
  return o;
}

class FirstStart : public ProgramHarness {};

class StartFromFile : public ProgramHarness {
 protected:
  void BeforeCreate() override { WriteBytes(kConfigFileName, FileBytes(FileOptions(), DefaultTable())); }
};

class StartFromShortFile : public ProgramHarness {
 protected:
  void BeforeCreate() override {
    const Bytes full = FileBytes(FileOptions(), DefaultTable());
    WriteBytes(kConfigFileName, Bytes(full.begin(), full.begin() + 30));
  }
};

}  // namespace

TEST_F(FirstStart, WritesTheDefaultFileAndOpensAWindow) {
  EXPECT_EQ(ReadBytes(kConfigFileName), FileBytes(TOptions{}, DefaultTable()));
  EXPECT_TRUE(fake.display.windowed);
  EXPECT_TRUE(Settings.Sound);
  Frame(2);
  EXPECT_GT(fake.display.presentCount, 0);
}

TEST_F(StartFromFile, AFirstByteOtherThanOneStartsFullScreen) {
  EXPECT_FALSE(Settings.Windowed);
  EXPECT_FALSE(fake.display.windowed);
  EXPECT_FALSE(Settings.Sound);
  EXPECT_EQ(Settings.Country, "Peru");
  ASSERT_NE(CountryEdit, nullptr);
  EXPECT_EQ(CountryEdit->Text(), "Peru");
  EXPECT_EQ(CountryEdit->Len, 4);
  EXPECT_FALSE(std::filesystem::exists(kDamagedConfigFileName));
}

TEST_F(StartFromShortFile, KeepsWhatWasReadAndStillShowsFrames) {
  EXPECT_FALSE(fake.display.windowed);
  EXPECT_EQ(Settings.Country, "Peru");
  EXPECT_EQ(HiScores[1].Score, 900);  // beyond the end of the file: the default
  EXPECT_EQ(ReadBytes(kDamagedConfigFileName).size(), 30u);
  EXPECT_EQ(ReadBytes(kConfigFileName), FileBytes(FileOptions(), DefaultTable()));
  const int before = fake.display.presentCount;
  Frame(2);
  EXPECT_GT(fake.display.presentCount, before);
}
