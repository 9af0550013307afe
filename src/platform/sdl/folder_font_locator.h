// Fonts by family name from folders of font files, for systems without fontconfig (Windows, a
// browser page): the game brings its own faces in its "fonts" data folder. Each file's family
// and style come from the file itself (its name table, read through SDL_ttf), so any face
// dropped into a folder is found by its name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

class FolderFontLocator : public IFontLocator {
 public:
  // folders: where to look, in order. Empty: DefaultFolders(), as they are when the first font
  // is asked for (the data folder is known by then).
  explicit FolderFontLocator(std::vector<std::filesystem::path> folders = {});
  virtual ~FolderFontLocator() = default;

  // A face of that family (compared without regard to case) whose style is Bold, or Regular
  // when bold is false. Empty when no folder has one.
  std::string FindFont(const std::string& family, bool bold) override;

 protected:
  // The game's "fonts" data folder.
  virtual std::vector<std::filesystem::path> DefaultFolders() const;

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
