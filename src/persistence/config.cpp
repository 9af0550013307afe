#include "persistence/config.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "persistence/atomic_save.h"
#include "persistence/country_field.h"
#include "platform/file_places.h"
#include "shell/form.h"
#include "shell/menu_commands.h"

namespace fs = std::filesystem;

namespace {

std::array<THiScores, kHiScoreCount> DefaultHiScores() {
  std::array<THiScores, kHiScoreCount> table;
  for (int i = 0; i < kHiScoreCount; ++i) table[i] = THiScores{"Anonymous", (10 - i) * 100};
  return table;
}

// A failed save is told once; repeating it at every new score would only bury the first one.
bool SaveFailureReported = false;
// Set when an existing file could not be read: writing the values in memory over it would
// destroy the player's table, so nothing is written for the rest of the run.
bool WritingRefused = false;

// Where the settings live: in the settings folder of the layout the program runs in. Every
// other file of a save (the temporary file, the damaged copy) goes into the folder of the file
// this names, after following links.
fs::path ConfigPath() { return platform::ConfigPath(kConfigFileName); }

uint8_t ReadByte(std::istream& in) {
  const int c = in.get();
  if (c == std::char_traits<char>::eof()) throw ConfigReadError();
  return static_cast<uint8_t>(c);
}

int32_t ReadInt32(std::istream& in) {
  uint32_t value = 0;
  for (int shift = 0; shift < 32; shift += 8) value |= static_cast<uint32_t>(ReadByte(in)) << shift;
  return static_cast<int32_t>(value);
}

void WriteInt32(int32_t value, std::ostream& out) {
  const auto bits = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.put(static_cast<char>((bits >> shift) & 0xFF));
}

// Each field is stored as soon as it is complete, so a file that ends early leaves the fields
// before the end with their file values and the rest untouched.
void ReadFields(std::istream& in) {
  Settings.Windowed = ReadByte(in) == 1;
  Settings.Music = ReadByte(in) == 1;
  Settings.Sound = ReadByte(in) == 1;
  // Code 0 names no key (an older save or a damaged byte): the boss key stays the default.
  Settings.BossKey = ReadByte(in);
  if (Settings.BossKey == 0) Settings.BossKey = TOptions{}.BossKey;
  Settings.Country = ReadCfgString(in);
  for (THiScores& entry : HiScores) {
    entry.Name = ReadCfgString(in);
    entry.Score = ReadInt32(in);
  }
}

std::string EncodeConfig() {
  std::ostringstream out;
  out.put(Settings.Windowed ? 1 : 0);
  out.put(Settings.Music ? 1 : 0);
  out.put(Settings.Sound ? 1 : 0);
  out.put(static_cast<char>(Settings.BossKey & 0xFF));
  WriteCfgString(Settings.Country, out);
  for (const THiScores& entry : HiScores) {
    WriteCfgString(entry.Name, out);
    WriteInt32(entry.Score, out);
  }
  return out.str();
}

void ReportSaveFailure(const std::string& why) {
  if (SaveFailureReported) return;
  SaveFailureReported = true;
  std::fprintf(stderr, "Starmoat: cannot write %s: %s; settings and scores are kept until exit\n",
               ConfigPath().string().c_str(), why.c_str());
}

void RefuseWriting(const std::string& why) {
  WritingRefused = true;
  std::fprintf(stderr,
               "Starmoat: cannot read %s: %s; using the default settings, and nothing will be "
               "written to it this run\n",
               ConfigPath().string().c_str(), why.c_str());
}

// What the file held when this run last read or wrote it, in its encoding: a keep that would
// write the same bytes again writes nothing.
std::string KeptBytes;

// Writes the values in memory, whether or not the file exists: a file deleted while the game
// runs is written again with this run's scores rather than the default table. A link is saved
// through to the file it names; a file this user may not write is left alone.
bool WriteConfigFile() {
  std::string folderProblem;
  if (!platform::MakeConfigFolder(folderProblem)) {
    ReportSaveFailure(folderProblem);
    return false;
  }
  const fs::path target = FollowLinks(ConfigPath());
  std::error_code ec;
  if (fs::exists(target, ec) && !MayWrite(target)) {
    ReportSaveFailure(std::strerror(errno));
    return false;
  }
  std::string why;
  std::string bytes = EncodeConfig();
  if (!AtomicSave(target, bytes, why)) {
    ReportSaveFailure(why);
    return false;
  }
  KeptBytes = std::move(bytes);
  return true;
}

// The damaged file is kept for inspection beside itself, replacing an older copy, and a
// readable file with the values now in memory takes its place so the next start reads cleanly.
void MendDamagedFile(const char* why) {
  const fs::path target = FollowLinks(ConfigPath());
  fs::path damaged = target;
  damaged += ".bad";
  std::error_code ec;
  if (!MayWrite(target)) {
    ec.assign(errno, std::generic_category());
  } else {
    fs::rename(target, damaged, ec);
  }
  if (ec) {
    std::fprintf(stderr, "Starmoat: %s: %s; could not move it aside (%s), left as it is\n",
                 ConfigPath().string().c_str(), why, ec.message().c_str());
    return;
  }
  std::fprintf(stderr, "Starmoat: %s: %s; kept as %s, missing values set to their defaults\n",
               ConfigPath().string().c_str(), why, damaged.string().c_str());
  WriteConfigFile();
}

}  // namespace

TOptions Settings;
std::array<THiScores, kHiScoreCount> HiScores = DefaultHiScores();

void ResetHiScores() { HiScores = DefaultHiScores(); }

void ResetConfigState() {
  Settings = TOptions{};
  ResetHiScores();
  SaveFailureReported = false;
  WritingRefused = false;
  KeptBytes.clear();
}

std::string ReadCfgString(std::istream& in) {
  const uint8_t length = ReadByte(in);
  std::string text;
  text.reserve(length);
  for (int i = 0; i < length; ++i) text.push_back(static_cast<char>(ReadByte(in) ^ 0xFF));
  return text;
}

void WriteCfgString(const std::string& text, std::ostream& out) {
  const size_t length = std::min<size_t>(text.size(), 255);
  out.put(static_cast<char>(length));
  for (size_t i = 0; i < length; ++i) out.put(static_cast<char>(text[i] ^ 0xFF));
}

void ReadConfig() {
  const fs::path path = ConfigPath();
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) {
    RemoveStaleTemporaries(FollowLinks(path));
    WriteConfigFile();  // a failure is reported; the game goes on with the values in memory
    return;
  }
  if (ec) {
    RefuseWriting(ec.message());
    return;
  }
  if (!fs::is_regular_file(status)) {
    RefuseWriting("it is not a file");
    return;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    RefuseWriting(std::strerror(errno));
    return;
  }
  RemoveStaleTemporaries(FollowLinks(path));
  try {
    ReadFields(in);
    KeptBytes = EncodeConfig();
  } catch (const ConfigReadError& e) {
    // Only a file that ended early is damaged; a failing disk is not a reason to replace it.
    if (in.bad()) {
      RefuseWriting("the file could not be read to its end");
      return;
    }
    in.close();
    MendDamagedFile(e.what());
  }
}

void LoadConfig() {
  ReadConfig();
  ApplyOptions();
}

bool SaveConfig() {
  if (WritingRefused) return false;  // said at start-up
  if (std::optional<std::string> country = CountryEditText()) Settings.Country = *country;
  return WriteConfigFile();
}

bool KeepConfig() {
  if (WritingRefused) return false;
  if (std::optional<std::string> country = CountryEditText()) Settings.Country = *country;
  if (EncodeConfig() == KeptBytes) return false;
  return WriteConfigFile();
}

void ApplyOptions() {
  Form1->FormCreate();
  SetSound(Settings.Sound);
  SetCountryEditText(Settings.Country);
}
