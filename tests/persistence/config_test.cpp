#include "persistence/config.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "persistence/country_field.h"
#include "persistence/hiscores.h"
#include "config_files.h"

namespace {

void ExpectSettings(const TOptions& expected) {
  EXPECT_EQ(Settings.Windowed, expected.Windowed);
  EXPECT_EQ(Settings.Music, expected.Music);
  EXPECT_EQ(Settings.Sound, expected.Sound);
  EXPECT_EQ(Settings.BossKey, expected.BossKey);
  EXPECT_EQ(Settings.Country, expected.Country);
}

void ExpectTable(const std::array<THiScores, kHiScoreCount>& expected) {
  for (int i = 0; i < kHiScoreCount; ++i) {
    EXPECT_EQ(HiScores[i].Name, expected[i].Name) << "entry " << i;
    EXPECT_EQ(HiScores[i].Score, expected[i].Score) << "entry " << i;
  }
}

bool Exists(const char* name) { return std::filesystem::exists(name); }

}  // namespace

TEST(CfgString, StoresTheLengthThenTheComplementedBytes) {
  std::ostringstream out;
  WriteCfgString("abc", out);
  WriteCfgString("", out);
  EXPECT_EQ(out.str(), std::string("\x03\x9E\x9D\x9C\x00", 5));

  std::istringstream in(out.str());
  EXPECT_EQ(ReadCfgString(in), "abc");
  EXPECT_EQ(ReadCfgString(in), "");
}

TEST(CfgString, EveryByteValueSurvivesAndOverlongTextIsCutAt255) {
  std::string all;
  for (int v = 0; v < 255; ++v) all.push_back(static_cast<char>(v));
  std::ostringstream out;
  WriteCfgString(all, out);
  WriteCfgString(std::string(300, 'x'), out);
  std::istringstream in(out.str());
  EXPECT_EQ(ReadCfgString(in), all);
  EXPECT_EQ(ReadCfgString(in), std::string(255, 'x'));
}

TEST(CfgString, AStreamEndingInsideTheTextIsAReadError) {
  std::istringstream in(std::string("\x05\x9E\x9D", 3));
  EXPECT_THROW(ReadCfgString(in), ConfigReadError);
}

TEST(ConfigFile, FirstStartWritesTheDefaultsIn145Bytes) {
  WorkDir dir;
  ReadConfig();
  const Bytes bytes = ReadBytes(kConfigFileName);
  EXPECT_EQ(bytes.size(), 145u);
  EXPECT_EQ(bytes, FileBytes(TOptions{}, DefaultTable()));
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 5), (Bytes{1, 1, 1, 123, 0}));
  ExpectSettings(TOptions{});
  ExpectTable(DefaultTable());
  // The file alone: no temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(ConfigFile, TenCharacterNamesAndAnEmptyCountrySurviveASaveAndALoad) {
  WorkDir dir;
  const TOptions options{false, false, true, 0x51, ""};
  std::array<THiScores, kHiScoreCount> table;
  for (int i = 0; i < kHiScoreCount; ++i) {
    table[i] = {std::string("Pilot|\xFF\x01") + static_cast<char>('0' + i) + "xy", 90000 - i};
  }
  table[8].Score = -5;
  table[9] = {"", INT32_MIN};
  Settings = options;
  HiScores = table;
  SetCountryEditText("");
  ASSERT_TRUE(SaveConfig());
  EXPECT_EQ(ReadBytes(kConfigFileName), FileBytes(options, table));

  ResetConfigState();
  ReadConfig();
  ExpectSettings(options);
  ExpectTable(table);
}

TEST(ConfigFile, SavingTakesTheCountryFromTheCountryBox) {
  WorkDir dir;
  ReadConfig();
  SetCountryEditText("Peru");
  ASSERT_TRUE(SaveConfig());
  EXPECT_EQ(Settings.Country, "Peru");
  const Bytes bytes = ReadBytes(kConfigFileName);
  EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 9), (Bytes{4, 0xAF, 0x9A, 0x8D, 0x8A}));
}

// The browser game keeps its settings whenever the player pauses, as nothing exits a page:
// a keep writes when something changed since the file was read or written, and only then.
TEST(ConfigFile, KeepingWritesOnlyWhatChangedSinceTheLastReadOrWrite) {
  WorkDir dir;
  WriteBytes(kConfigFileName, FileBytes({true, false, true, 0x7A, "Oman"}, DefaultTable()));
  ReadConfig();
  SetCountryEditText("Oman");
  EXPECT_FALSE(KeepConfig()) << "nothing changed since the file was read";

  struct Change {
    const char* what;
    void (*make)();
    bool writesItself;
  };
  const Change changes[] = {
      {"sound", [] { Settings.Sound = !Settings.Sound; }, false},
      {"music", [] { Settings.Music = !Settings.Music; }, false},
      {"boss key", [] { Settings.BossKey = 0x71; }, false},
      {"country box", [] { SetCountryEditText("Chad"); }, false},
      {"table", [] { InsertHiScore("Ace", 4321); }, true},
  };
  for (const Change& change : changes) {
    change.make();
    EXPECT_EQ(KeepConfig(), !change.writesItself) << change.what;
    EXPECT_EQ(ReadBytes(kConfigFileName), FileBytes(Settings, HiScores)) << change.what;
    EXPECT_FALSE(KeepConfig()) << "a second keep after the " << change.what;
  }
  EXPECT_EQ(Settings.Country, "Chad");
  ASSERT_TRUE(SaveConfig());
  EXPECT_FALSE(KeepConfig()) << "after a save";
}

TEST(ConfigFile, FlagBytesAreReadInTheOrderWindowMusicSound) {
  struct Case {
    Bytes head;  // Windowed, Music, Sound, BossKey
    bool windowed, music, sound;
    int32_t bossKey;
  };
  const Case cases[] = {
      {{1, 1, 1, 123}, true, true, true, 123},
      {{2, 1, 1, 123}, false, true, true, 123},  // anything but 1 is false: full screen
      {{1, 0, 1, 65}, true, false, true, 65},
      {{1, 1, 0, 65}, true, true, false, 65},
      {{0, 0xFF, 1, 200}, false, false, true, 200},  // the key byte is not sign-extended
  };
  for (const Case& c : cases) {
    WorkDir dir;
    Bytes file = FileBytes(TOptions{}, DefaultTable());
    std::copy(c.head.begin(), c.head.end(), file.begin());
    WriteBytes(kConfigFileName, file);
    ReadConfig();
    ExpectSettings({c.windowed, c.sound, c.music, c.bossKey, ""});
    EXPECT_FALSE(Exists(kDamagedConfigFileName));
  }
}

TEST(ConfigFile, BossKeyByteZeroIsReadAsF12) {
  // Code 0 names no key; the default keeps the boss key usable.
  WorkDir dir;
  Bytes file = FileBytes(TOptions{}, DefaultTable());
  file[3] = 0;
  WriteBytes(kConfigFileName, file);
  ReadConfig();
  EXPECT_EQ(Settings.BossKey, 123);
  EXPECT_FALSE(Exists(kDamagedConfigFileName));
}

TEST(ConfigFile, OnlyTheLowByteOfTheBossKeyIsStored) {
  WorkDir dir;
  Settings.BossKey = 300;
  ASSERT_TRUE(SaveConfig());
  EXPECT_EQ(ReadBytes(kConfigFileName)[3], 44);
}

TEST(ConfigFile, BytesAfterTheTenthEntryAreIgnored) {
  WorkDir dir;
  const TOptions options{true, true, true, 123, "Peru"};
  std::array<THiScores, kHiScoreCount> table = DefaultTable();
  table[0] = {"Ace", 7777};
  Bytes file = FileBytes(options, table);
  // Left over from an older save with a three bytes longer country.
  file.insert(file.end(), {0x8A, 0x9E, 0x00});
  WriteBytes(kConfigFileName, file);

  ReadConfig();
  ExpectSettings(options);
  ExpectTable(table);
  EXPECT_FALSE(Exists(kDamagedConfigFileName));
  EXPECT_EQ(ReadBytes(kConfigFileName), file);
}

TEST(ConfigFile, AShortFileKeepsTheFieldsReadIsMovedAsideAndReplaced) {
  const TOptions fileOptions{false, false, false, 66, "Chile"};
  std::array<THiScores, kHiScoreCount> fileTable;
  for (int i = 0; i < kHiScoreCount; ++i) fileTable[i] = {"P" + std::to_string(i), 5000 - 10 * i};
  const Bytes full = FileBytes(fileOptions, fileTable);

  // Each field with the offset just past it; a field counts as read when the file holds it whole.
  struct Field {
    size_t end;
    std::function<void(TOptions&, std::array<THiScores, kHiScoreCount>&)> take;
  };
  std::vector<Field> fields = {
      {1, [&](TOptions& o, auto&) { o.Windowed = fileOptions.Windowed; }},
      {2, [&](TOptions& o, auto&) { o.Music = fileOptions.Music; }},
      {3, [&](TOptions& o, auto&) { o.Sound = fileOptions.Sound; }},
      {4, [&](TOptions& o, auto&) { o.BossKey = fileOptions.BossKey; }},
      {10, [&](TOptions& o, auto&) { o.Country = fileOptions.Country; }},
  };
  for (int i = 0; i < kHiScoreCount; ++i) {
    const size_t start = 10 + 7 * static_cast<size_t>(i);
    fields.push_back({start + 3, [&, i](TOptions&, auto& t) { t[i].Name = fileTable[i].Name; }});
    fields.push_back({start + 7, [&, i](TOptions&, auto& t) { t[i].Score = fileTable[i].Score; }});
  }
  ASSERT_EQ(fields.back().end, full.size());

  // Empty, inside the flags, before and inside the country, between a name and its score,
  // inside a score, one byte short.
  for (size_t cut : {size_t{0}, size_t{2}, size_t{4}, size_t{7}, size_t{13}, size_t{15},
                     full.size() - 1}) {
    SCOPED_TRACE("file cut to " + std::to_string(cut) + " bytes");
    WorkDir dir;
    const Bytes damaged(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
    WriteBytes(kConfigFileName, damaged);
    WriteBytes(kDamagedConfigFileName, {9, 9, 9});  // from an earlier start: replaced

    TOptions expectedOptions;
    std::array<THiScores, kHiScoreCount> expectedTable = DefaultTable();
    for (const Field& f : fields) {
      if (f.end <= cut) f.take(expectedOptions, expectedTable);
    }

    testing::internal::CaptureStderr();
    ReadConfig();
    const std::string report = testing::internal::GetCapturedStderr();

    ExpectSettings(expectedOptions);
    ExpectTable(expectedTable);
    EXPECT_EQ(ReadBytes(kDamagedConfigFileName), damaged);
    EXPECT_EQ(ReadBytes(kConfigFileName), FileBytes(expectedOptions, expectedTable));
    EXPECT_NE(report.find("Stream read error"), std::string::npos) << report;
    EXPECT_NE(report.find(kDamagedConfigFileName), std::string::npos) << report;
  }
}

TEST(ConfigFile, AFileDeletedWhileRunningIsWrittenFromTheTableInMemory) {
  WorkDir dir;
  ReadConfig();
  InsertHiScore("Ace", 4321);
  std::filesystem::remove(kConfigFileName);
  SetCountryEditText("Chad");

  ASSERT_TRUE(SaveConfig());
  EXPECT_EQ(HiScores[0].Name, "Ace");
  const auto table = HiScores;
  ResetConfigState();
  ReadConfig();
  ExpectTable(table);
  EXPECT_EQ(HiScores[0].Score, 4321);
  EXPECT_EQ(Settings.Country, "Chad");
}

TEST(ConfigFile, AConfigThatIsNotAFileLeavesTheInitialValues) {
  WorkDir dir;
  std::filesystem::create_directory(kConfigFileName);
  testing::internal::CaptureStderr();
  ReadConfig();
  const std::string report = testing::internal::GetCapturedStderr();
  ExpectSettings(TOptions{});
  ExpectTable(DefaultTable());
  EXPECT_NE(report.find(kConfigFileName), std::string::npos);
}
