#include "platform/windows/windows_font_locator.h"

#include <windows.h>
#include <shlobj.h>

namespace fs = std::filesystem;

namespace platform {

std::vector<fs::path> WindowsFontLocator::DefaultFolders() const {
  std::vector<fs::path> folders = FolderFontLocator::DefaultFolders();
  PWSTR path = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Fonts, 0, nullptr, &path))) folders.emplace_back(path);
  CoTaskMemFree(path);
  return folders;
}

}  // namespace platform
