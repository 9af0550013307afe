// A fresh, empty working directory for one test: made and entered on construction, left and
// removed on destruction. Config.cfg and its neighbours are then real files the test can read.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "persistence/config.h"
#include "persistence/country_field.h"
#include "shell/program_state.h"

class WorkDir {
 public:
  WorkDir() : old_(std::filesystem::current_path()) {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("starmoat-persist-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
    ResetProgramState();
    SetCountryEditText("");
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
