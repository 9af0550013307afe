// Fonts by family name on Windows, where there is no fontconfig: the game's own faces in the
// fonts folder beside its data are looked at first, the system's Fonts folder after them.
#pragma once

#include <filesystem>
#include <vector>

#include "platform/sdl/folder_font_locator.h"

namespace platform {

class WindowsFontLocator : public FolderFontLocator {
 public:
  using FolderFontLocator::FolderFontLocator;

 protected:
  // The game's "fonts" data folder, then the system's Fonts folder.
  std::vector<std::filesystem::path> DefaultFolders() const override;
};

}  // namespace platform
