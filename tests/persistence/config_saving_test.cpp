// How Config.cfg is replaced on disk: a player's file that cannot be read or written is never
// replaced, links are followed, permissions kept, and leftovers of a crashed save cleared.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <filesystem>
#include <set>
#include <string>

#include "as_player.h"
#include "config_files.h"
#include "persistence/config.h"
#include "persistence/hiscores.h"

namespace fs = std::filesystem;

// Symbolic links and POSIX mode bits are this folder's own on Linux; on Windows MinGW's C++
// library cannot make a link (nor may a player without a privilege), and files carry access
// lists, not modes: those cases are Linux's.
#if defined(_WIN32)
#define SKIP_ON_WINDOWS(why) GTEST_SKIP() << why
#else
#define SKIP_ON_WINDOWS(why) static_cast<void>(0)
#endif

namespace {

// The names in the working folder, sorted.
std::set<std::string> FolderNames() {
  std::set<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(fs::current_path())) {
    names.insert(e.path().filename().string());
  }
  return names;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A table and settings that differ from the defaults everywhere.
Bytes PlayersFile() {
  std::array<THiScores, kHiScoreCount> table;
  for (int i = 0; i < kHiScoreCount; ++i) table[i] = {"P" + std::to_string(i), 5000 - 10 * i};
  return FileBytes(TOptions{false, false, true, 66, "Chile"}, table);
}

bool HoldsDefaults() {
  const TOptions initial;
  const auto table = DefaultTable();
  bool same = Settings.Windowed == initial.Windowed && Settings.Music == initial.Music &&
              Settings.Sound == initial.Sound && Settings.BossKey == initial.BossKey &&
              Settings.Country == initial.Country;
  for (int i = 0; i < kHiScoreCount; ++i) {
    same = same && HiScores[i].Name == table[i].Name && HiScores[i].Score == table[i].Score;
  }
  return same;
}

// A start, a new best score and the exit: what the player would see of each step.
std::string StartScoreAndExit() {
  ReadConfig();
  std::string seen = HoldsDefaults() ? "defaults" : "file values";
  InsertHiScore("Ace", 9999);
  seen += SaveConfig() ? " saved" : " not saved";
  seen += SaveConfig() ? " saved" : " not saved";
  seen += HiScores[0].Name == "Ace" ? ", Ace kept" : ", Ace lost";
  return seen;
}

}  // namespace

TEST(ConfigSaving, AFileThatCannotBeReadIsNeverReplaced) {
  const std::optional<Player> player = PermissionPlayer();
  if (!player) GTEST_SKIP() << NoPermissionPlayerReason();

  struct Case {
    const char* name;
    bool needsRoot;
    std::function<void(const Player&)> make;
  };
  const Case cases[] = {
      {"the player's own file with mode 000", false,
       [](const Player& p) {
         WriteBytes(kConfigFileName, PlayersFile());
         GiveTo(p, kConfigFileName);
         SetMode(kConfigFileName, 0);
       }},
      {"another user's file with mode 600", true,
       [](const Player&) {
         WriteBytes(kConfigFileName, PlayersFile());
         SetMode(kConfigFileName, 0600);
       }},
      {"a folder in its place", false,
       [](const Player& p) {
         fs::create_directory(kConfigFileName);
         GiveTo(p, kConfigFileName);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && !player->testIsRoot) {
      std::printf("[ SKIPPED  ] case \"%s\": needs root to make another user's file\n", c.name);
      continue;
    }
    WorkDir dir;
    GiveTo(*player, fs::current_path());  // the player may write the folder
    c.make(*player);
    const Bytes before = fs::is_regular_file(kConfigFileName) ? ReadBytes(kConfigFileName) : Bytes{};
    const std::set<std::string> namesBefore = FolderNames();

    testing::internal::CaptureStderr();
    const std::string seen = RunAsPlayer(*player, StartScoreAndExit);
    const std::string report = testing::internal::GetCapturedStderr();

    EXPECT_EQ(seen, "defaults not saved not saved, Ace kept");
    EXPECT_EQ(FolderNames(), namesBefore) << "no copy, no temporary file, no replacement";
    if (!before.empty()) {
      EXPECT_EQ(ReadBytes(kConfigFileName), before);
    }
    EXPECT_EQ(Count(report, "nothing will be written"), 1u) << report;
    EXPECT_EQ(Count(report, "\n"), 1u) << "one report for the whole run:\n" << report;
  }
}

TEST(ConfigSaving, AFileThePlayerMayNotWriteIsNotReplacedAndTheGameGoesOn) {
  const std::optional<Player> player = PermissionPlayer();
  if (!player) GTEST_SKIP() << NoPermissionPlayerReason();

  struct Case {
    const char* name;
    bool needsRoot;
    bool playerOwnsFile;
    mode_t mode;
  };
  const Case cases[] = {
      {"the player's own file, read-only", false, true, 0444},
      {"another user's file the player may only read", true, false, 0644},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && !player->testIsRoot) {
      std::printf("[ SKIPPED  ] case \"%s\": needs root to make another user's file\n", c.name);
      continue;
    }
    WorkDir dir;
    GiveTo(*player, fs::current_path());
    WriteBytes(kConfigFileName, PlayersFile());
    if (c.playerOwnsFile) GiveTo(*player, kConfigFileName);
    SetMode(kConfigFileName, c.mode);

    testing::internal::CaptureStderr();
    const std::string seen = RunAsPlayer(*player, StartScoreAndExit);
    const std::string report = testing::internal::GetCapturedStderr();

    EXPECT_EQ(seen, "file values not saved not saved, Ace kept");
    EXPECT_EQ(ReadBytes(kConfigFileName), PlayersFile());
    EXPECT_EQ(FolderNames(), std::set<std::string>{kConfigFileName});
    EXPECT_EQ(Count(report, "cannot write"), 1u) << report;
  }
}

TEST(ConfigSaving, AnUnwritableFolderIsReportedOnceAndTheOldFileStaysWhole) {
  const std::optional<Player> player = PermissionPlayer();
  if (!player) GTEST_SKIP() << NoPermissionPlayerReason();
  WorkDir dir;
  WriteBytes(kConfigFileName, PlayersFile());
  GiveTo(*player, kConfigFileName);  // the file is the player's to write, the folder is not
  SetMode(fs::current_path(), 0555);

  testing::internal::CaptureStderr();
  const std::string seen = RunAsPlayer(*player, StartScoreAndExit);
  const std::string report = testing::internal::GetCapturedStderr();
  SetMode(fs::current_path(), 0755);

  EXPECT_EQ(seen, "file values not saved not saved, Ace kept");
  EXPECT_EQ(ReadBytes(kConfigFileName), PlayersFile());
  EXPECT_EQ(Count(report, "cannot write"), 1u) << report;
}

TEST(ConfigSaving, ALinkStaysALinkAndTheFileItNamesIsWritten) {
  SKIP_ON_WINDOWS("no symbolic links on Windows");
  for (const bool absolute : {false, true}) {
    SCOPED_TRACE(absolute ? "absolute link" : "relative link");
    WorkDir dir;
    fs::create_directory("saves");
    WriteBytes("saves/starmoat.cfg", PlayersFile());
    const fs::path linkTarget =
        absolute ? fs::current_path() / "saves/starmoat.cfg" : fs::path("saves/starmoat.cfg");
    fs::create_symlink(linkTarget, kConfigFileName);

    ReadConfig();
    EXPECT_EQ(Settings.Country, "Chile");
    InsertHiScore("Ace", 9999);
    ASSERT_TRUE(SaveConfig());

    ASSERT_TRUE(fs::is_symlink(fs::symlink_status(kConfigFileName)));
    EXPECT_EQ(fs::read_symlink(kConfigFileName), linkTarget);
    EXPECT_EQ(ReadBytes("saves/starmoat.cfg"), FileBytes(Settings, HiScores));
    EXPECT_EQ(FolderNames(), (std::set<std::string>{kConfigFileName, "saves"}));
    std::set<std::string> saves;
    for (const auto& e : fs::directory_iterator("saves")) saves.insert(e.path().filename().string());
    EXPECT_EQ(saves, std::set<std::string>{"starmoat.cfg"});
  }
}

TEST(ConfigSaving, ADamagedFileBehindALinkIsKeptBesideItAndTheLinkStays) {
  SKIP_ON_WINDOWS("no symbolic links on Windows");
  WorkDir dir;
  fs::create_directory("saves");
  const Bytes damaged = {1, 0, 1};
  WriteBytes("saves/starmoat.cfg", damaged);
  fs::create_symlink("saves/starmoat.cfg", kConfigFileName);

  testing::internal::CaptureStderr();
  ReadConfig();
  testing::internal::GetCapturedStderr();

  ASSERT_TRUE(fs::is_symlink(fs::symlink_status(kConfigFileName)));
  EXPECT_EQ(ReadBytes("saves/starmoat.cfg.bad"), damaged);
  EXPECT_EQ(ReadBytes("saves/starmoat.cfg"), FileBytes(Settings, HiScores));
  EXPECT_FALSE(fs::exists(kDamagedConfigFileName));
}

TEST(ConfigSaving, TheTemporaryFileNeverFollowsALink) {
  SKIP_ON_WINDOWS("no symbolic links on Windows");
  WorkDir dir;
  WriteBytes(kConfigFileName, PlayersFile());
  WriteBytes("victim", {'k', 'e', 'e', 'p'});
  // Someone else's link where a save once put its temporary file.
  fs::create_symlink("victim", kTempConfigFileName);

  ReadConfig();
  InsertHiScore("Ace", 9999);
  ASSERT_TRUE(SaveConfig());

  EXPECT_EQ(ReadBytes("victim"), (Bytes{'k', 'e', 'e', 'p'}));
  EXPECT_FALSE(fs::is_symlink(fs::symlink_status(kConfigFileName)));
  EXPECT_EQ(ReadBytes(kConfigFileName), FileBytes(Settings, HiScores));
}

TEST(ConfigSaving, LeftoverTemporaryFilesAreRemovedAtStartAndNothingElse) {
  WorkDir dir;
  WriteBytes(kConfigFileName, PlayersFile());
  const std::string tmp = kTempConfigFileName;
  WriteBytes(tmp, {1, 2, 3});                // the fixed name of older versions
  WriteBytes(tmp + "a8Xq2Z", {1, 2, 3});     // a crash during a save
  fs::create_directory(tmp + "dir");         // not a file we make
  WriteBytes("victim", {7});
#if !defined(_WIN32)  // no symbolic links there
  fs::create_symlink("victim", tmp + "link");
#endif
  WriteBytes("Config.cfg.bak", {4});         // the player's own copy

  ReadConfig();

  std::set<std::string> kept{kConfigFileName, "Config.cfg.bak", tmp + "dir", "victim"};
#if !defined(_WIN32)
  kept.insert(tmp + "link");
#endif
  EXPECT_EQ(FolderNames(), kept);
  EXPECT_EQ(Settings.Country, "Chile");
}

TEST(ConfigSaving, TheReplacedFileKeepsItsPermissionsAndNoTemporaryFileRemains) {
  SKIP_ON_WINDOWS("Windows files have no POSIX mode bits");
  for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0664}}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    WorkDir dir;
    WriteBytes(kConfigFileName, PlayersFile());
    SetMode(kConfigFileName, mode);

    ReadConfig();
    InsertHiScore("Ace", 9999);
    ASSERT_TRUE(SaveConfig());
    ASSERT_TRUE(SaveConfig());

    EXPECT_EQ(fs::status(kConfigFileName).permissions(), static_cast<fs::perms>(mode));
    EXPECT_EQ(FolderNames(), std::set<std::string>{kConfigFileName});
    EXPECT_EQ(ReadBytes(kConfigFileName), FileBytes(Settings, HiScores));
  }
}

TEST(ConfigSaving, AFileThatFailsWhileBeingReadIsNeverReplaced) {
  // Reading this process's memory from address 0 fails with an I/O error: a disk that fails in
  // the middle of the file, as far as the reader can tell.
  SKIP_ON_WINDOWS("no symbolic links on Windows");
  if (!fs::is_regular_file("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem to read";
  WorkDir dir;
  fs::create_symlink("/proc/self/mem", kConfigFileName);

  testing::internal::CaptureStderr();
  const std::string seen = StartScoreAndExit();
  const std::string report = testing::internal::GetCapturedStderr();

  EXPECT_EQ(seen, "defaults not saved not saved, Ace kept");
  EXPECT_EQ(FolderNames(), std::set<std::string>{kConfigFileName});
  EXPECT_EQ(fs::read_symlink(kConfigFileName), "/proc/self/mem");
  EXPECT_EQ(Count(report, "nothing will be written"), 1u) << report;
  EXPECT_EQ(Count(report, "\n"), 1u) << report;
}
