// Real settings files for the tests: a fresh working directory per test, and Config.cfg's byte
// form built by hand.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "persistence/config.h"
#include "graphics/widgets.h"
#include "persistence/country_field.h"
#include "shell/program_state.h"

// Made and entered on construction, left and removed on destruction; every global starts fresh.
class WorkDir {
 public:
  WorkDir() : old_(std::filesystem::current_path()) {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("starmoat-persist-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
    ResetProgramState();
    // The options page's country box exists, empty, as in a running program.
    gfx::CreateWidgets();
  }
  ~WorkDir() {
    std::filesystem::current_path(old_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  WorkDir(const WorkDir&) = delete;
  WorkDir& operator=(const WorkDir&) = delete;

 private:
  std::filesystem::path old_;
  std::filesystem::path path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

using Bytes = std::vector<uint8_t>;

// Config.cfg's byte form, written out independently of the program's writer.
inline void Stored(Bytes& out, const std::string& text) {
  out.push_back(static_cast<uint8_t>(text.size()));
  for (char c : text) out.push_back(static_cast<uint8_t>(~static_cast<uint8_t>(c)));
}

inline void Le32(Bytes& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

inline Bytes FileBytes(const TOptions& o, const std::array<THiScores, kHiScoreCount>& table) {
  Bytes out{static_cast<uint8_t>(o.Windowed), static_cast<uint8_t>(o.Music),
            static_cast<uint8_t>(o.Sound), static_cast<uint8_t>(o.BossKey)};
  Stored(out, o.Country);
  for (const THiScores& e : table) {
    Stored(out, e.Name);
    Le32(out, e.Score);
  }
  return out;
}

inline std::array<THiScores, kHiScoreCount> DefaultTable() {
  std::array<THiScores, kHiScoreCount> table;
  for (int i = 0; i < kHiScoreCount; ++i) table[i] = {"Anonymous", (10 - i) * 100};
  return table;
}

