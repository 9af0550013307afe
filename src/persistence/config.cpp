#include "persistence/config.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "persistence/country_field.h"
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
               kConfigFileName, why.c_str());
}

// Writes the values in memory, whether or not the file exists: a file deleted while the game
// runs is written again with this run's scores rather than the default table.
bool WriteConfigFile() {
  const std::string bytes = EncodeConfig();
  {
    std::ofstream out(kTempConfigFileName, std::ios::binary | std::ios::trunc);
    if (!out) {
      ReportSaveFailure(std::strerror(errno));
      return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      const std::string why = std::strerror(errno);
      std::error_code ignored;
      fs::remove(kTempConfigFileName, ignored);
      ReportSaveFailure(why);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(kTempConfigFileName, kConfigFileName, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(kTempConfigFileName, ignored);
    ReportSaveFailure(ec.message());
    return false;
  }
  return true;
}

// The damaged file is kept for inspection, replacing an older one, and a readable file with the
// values now in memory takes its place so the next start reads cleanly.
void MendDamagedFile(const char* why) {
  std::error_code ec;
  fs::rename(kConfigFileName, kDamagedConfigFileName, ec);
  if (ec) {
    std::fprintf(stderr, "Starmoat: %s: %s; could not move it aside (%s), left as it is\n",
                 kConfigFileName, why, ec.message().c_str());
    return;
  }
  std::fprintf(stderr, "Starmoat: %s: %s; kept as %s, missing values set to their defaults\n",
               kConfigFileName, why, kDamagedConfigFileName);
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
  std::error_code ec;
  if (!fs::exists(kConfigFileName, ec) && !WriteConfigFile()) return;  // reported; go on
  if (!fs::is_regular_file(kConfigFileName, ec)) {
    std::fprintf(stderr, "Starmoat: %s is not a file; using the default settings\n",
                 kConfigFileName);
    return;
  }
  std::ifstream in(kConfigFileName, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "Starmoat: cannot open %s: %s; using the default settings\n",
                 kConfigFileName, std::strerror(errno));
    return;
  }
  try {
    ReadFields(in);
  } catch (const ConfigReadError& e) {
    in.close();
    MendDamagedFile(e.what());
  }
}

void LoadConfig() {
  ReadConfig();
  ApplyOptions();
}

bool SaveConfig() {
  if (std::optional<std::string> country = CountryEditText()) Settings.Country = *country;
  return WriteConfigFile();
}

void ApplyOptions() {
  Form1->FormCreate();
  SetSound(Settings.Sound);
  SetCountryEditText(Settings.Country);
}
