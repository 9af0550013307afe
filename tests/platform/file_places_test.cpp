#include "platform/file_places.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A scratch tree with the three places a game can be found in:
//   root/work                          the working folder
//   root/usr/games                     the executable's folder
//   root/usr/share/games/starmoat      the installed data
//   root/home                          the user's home folder
class FilePlacesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (fs::temp_directory_path() / "starmoat-places-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    root = templ;
    for (const fs::path& folder : {work(), games(), installed(), home()}) {
      fs::create_directories(folder);
    }
  }
  void TearDown() override {
    platform::SetFilePlaces({});
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  fs::path work() const { return root / "work"; }
  fs::path games() const { return root / "usr" / "games"; }
  fs::path installed() const { return root / "usr" / "share" / "games" / "starmoat"; }
  fs::path home() const { return root / "home"; }

  static void PutPack(const fs::path& folder) {
    fs::create_directories(folder / "Data");
    std::ofstream(folder / "Data" / "Data.pp") << "pack";
  }

  platform::StartFolders Start() const {
    platform::StartFolders start;
    start.work = work();
    start.executable = games();
    start.dataFromExecutable = "../share/games/starmoat";
    start.home = home().string();
    return start;
  }

  fs::path root;
};

TEST_F(FilePlacesTest, EachLayoutIsFoundWhereItsPackIs) {
  struct Case {
    const char* name;
    bool packInWork, packBesideProgram, packInstalled;
    std::string xdgDataHome;  // "<root>" stands for the scratch root
    bool inWork;              // expected: the working folder (empty places)
    fs::path data, config;    // expected otherwise, relative to the root
  };
  const Case cases[] = {
      {"working folder first", true, true, true, "", true, {}, {}},
      {"portable folder", false, true, true, "", false, "usr/games", "usr/games"},
      {"installed, default", false, false, true, "", false, "usr/share/games/starmoat",
       "home/.local/share/starmoat"},
      {"installed, XDG_DATA_HOME", false, false, true, "<root>/xdg", false,
       "usr/share/games/starmoat", "xdg/starmoat"},
      {"installed, relative XDG_DATA_HOME ignored", false, false, true, "xdg", false,
       "usr/share/games/starmoat", "home/.local/share/starmoat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(work() / "Data");
    fs::remove_all(games() / "Data");
    fs::remove_all(installed() / "Data");
    if (c.packInWork) PutPack(work());
    if (c.packBesideProgram) PutPack(games());
    if (c.packInstalled) PutPack(installed());
    platform::StartFolders start = Start();
    start.xdgDataHome = c.xdgDataHome.rfind("<root>", 0) == 0
                            ? root.string() + c.xdgDataHome.substr(6)
                            : c.xdgDataHome;
    const platform::PlaceSearch search = platform::FindFilePlaces(start);
    ASSERT_TRUE(search.places.has_value());
    if (c.inWork) {
      EXPECT_TRUE(search.places->data.empty());
      EXPECT_TRUE(search.places->config.empty());
    } else {
      EXPECT_EQ(search.places->data, root / c.data);
      EXPECT_EQ(search.places->config, root / c.config);
    }
  }
}

// A game installed by a setup program: data beside the program, settings in the folder the
// platform names, even when the working folder (a shortcut's) holds a pack too.
TEST_F(FilePlacesTest, AnInstalledGameBesideItsDataKeepsSettingsInTheNamedFolder) {
  PutPack(work());
  PutPack(games());
  platform::StartFolders start = Start();
  start.installedSettings = root / "appdata" / "Starmoat";
  platform::PlaceSearch search = platform::FindFilePlaces(start);
  ASSERT_TRUE(search.places.has_value());
  EXPECT_EQ(search.places->data, games());
  EXPECT_EQ(search.places->config, root / "appdata" / "Starmoat");

  // Without its data beside it the marker means nothing: the usual order applies.
  fs::remove_all(games() / "Data");
  search = platform::FindFilePlaces(start);
  ASSERT_TRUE(search.places.has_value());
  EXPECT_TRUE(search.places->data.empty());
  EXPECT_TRUE(search.places->config.empty());
}

TEST_F(FilePlacesTest, NothingFoundNamesEveryPlaceTried) {
  // A folder named like the pack is no pack.
  fs::create_directories(installed() / "Data" / "Data.pp");
  const platform::PlaceSearch search = platform::FindFilePlaces(Start());
  EXPECT_FALSE(search.places.has_value());
  const std::string message = platform::PlacesNotFoundMessage(search);
  for (const fs::path& folder : {work(), games(), installed()}) {
    EXPECT_NE(message.find((folder / "Data" / "Data.pp").string()), std::string::npos)
        << message;
  }
  EXPECT_EQ(message.find(".."), std::string::npos) << "paths are shown resolved: " << message;
}

TEST_F(FilePlacesTest, InstalledDataWithoutAHomeHasNoSettingsFolder) {
  PutPack(installed());
  platform::StartFolders start = Start();
  start.home.clear();
  const platform::PlaceSearch search = platform::FindFilePlaces(start);
  EXPECT_FALSE(search.places.has_value());
  EXPECT_NE(platform::PlacesNotFoundMessage(search).find("HOME"), std::string::npos);
}

TEST_F(FilePlacesTest, AnUnknownExecutableFolderLeavesOnlyTheWorkingFolder) {
  PutPack(installed());
  platform::StartFolders start = Start();
  start.executable.clear();
  const platform::PlaceSearch search = platform::FindFilePlaces(start);
  EXPECT_FALSE(search.places.has_value());
  EXPECT_EQ(search.tried.size(), 1u);
}

TEST_F(FilePlacesTest, PathsAreRelativeUntilPlacesAreSetThenInsideThem) {
  EXPECT_EQ(platform::DataPath("Data\\Data.pp"), (fs::path("Data") / "Data.pp").string());
  EXPECT_EQ(platform::ConfigPath("Config.cfg"), "Config.cfg");
  platform::SetFilePlaces({installed(), home() / "starmoat"});
  EXPECT_EQ(platform::DataPath("sound\\1.xm"), (installed() / "sound" / "1.xm").string());
  EXPECT_EQ(platform::DataPath("Kelvo.url"), (installed() / "Kelvo.url").string());
  EXPECT_EQ(platform::ConfigPath("Config.cfg.bad"), (home() / "starmoat" / "Config.cfg.bad").string());
}

TEST_F(FilePlacesTest, TheSettingsFolderIsMadeForTheUserAlone) {
#if defined(_WIN32)
  GTEST_SKIP() << "Windows folders carry access lists, not POSIX mode bits; %APPDATA% is the "
                  "user's own";
#endif
  const fs::path folder = home() / ".local" / "share" / "starmoat";
  platform::SetFilePlaces({installed(), folder});
  std::string why;
  ASSERT_TRUE(platform::MakeConfigFolder(why)) << why;
  for (const fs::path& made : {home() / ".local", home() / ".local" / "share", folder}) {
    ASSERT_TRUE(fs::is_directory(made)) << made;
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
  }
  // The home folder was there already and keeps its mode.
  EXPECT_NE(fs::status(home()).permissions(), fs::perms::owner_all);
  // Once made, asking again changes nothing.
  fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  EXPECT_TRUE(platform::MakeConfigFolder(why)) << why;
  EXPECT_EQ(fs::status(folder).permissions(),
            fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

TEST_F(FilePlacesTest, AFileInTheWayOfTheSettingsFolderIsReported) {
  std::ofstream(home() / ".local") << "not a folder";
  platform::SetFilePlaces({installed(), home() / ".local" / "share" / "starmoat"});
  std::string why;
  EXPECT_FALSE(platform::MakeConfigFolder(why));
  EXPECT_NE(why.find((home() / ".local").string()), std::string::npos) << why;
}

}  // namespace
