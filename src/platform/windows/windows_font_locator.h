// Fonts by family name on Windows, where there is no fontconfig: the game brings its own faces
// in the fonts folder beside its data, and those are looked at first; the system's Fonts folder
// after them. Each file's family and style come from the file itself (its name table, read
// through SDL_ttf), so any face dropped into the folder is found by its name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

class WindowsFontLocator : public IFontLocator {
 public:
  // folders: where to look, in order. Empty: the game's "fonts" data folder, then the
  // system's Fonts folder, as they are when the first font is asked for.
  explicit WindowsFontLocator(std::vector<std::filesystem::path> folders = {});

  // A face of that family (compared without regard to case) whose style is Bold, or Regular
  // when bold is false. Empty when no folder has one.
  std::string FindFont(const std::string& family, bool bold) override;

 private:
  struct Face {
    std::string family;  // lower case
    bool bold = false;
    bool italic = false;
    std::string path;
  };
  void Scan(const std::filesystem::path& folder);

  std::vector<std::filesystem::path> folders_;
  std::optional<std::vector<Face>> faces_;
};

}  // namespace platform
