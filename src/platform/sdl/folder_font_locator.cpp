#include "platform/sdl/folder_font_locator.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cctype>

#include "platform/file_places.h"
#ifdef _WIN32
#include "platform/windows/utf16.h"
#endif

namespace fs = std::filesystem;

namespace platform {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// SDL_ttf opens files by UTF-8 names; Windows paths are UTF-16.
std::string Utf8Name(const fs::path& file) {
#ifdef _WIN32
  return Utf16ToUtf8(file.wstring());
#else
  return file.string();
#endif
}

}  // namespace

FolderFontLocator::FolderFontLocator(std::vector<fs::path> folders)
    : folders_(std::move(folders)) {}

std::vector<fs::path> FolderFontLocator::DefaultFolders() const {
  return {fs::path(DataPath("fonts"))};
}

void FolderFontLocator::Scan(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> files;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string ext = Lower(it->path().extension().string());
    if (ext == ".ttf" || ext == ".otf") files.push_back(it->path());
  }
  // Directory order is the file system's; sorted, the same folder always gives the same pick.
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    // The size does not matter: only the face's names are read.
    TTF_Font* font = TTF_OpenFont(Utf8Name(file).c_str(), 12);
    if (!font) continue;
    const char* family = TTF_FontFaceFamilyName(font);
    const char* style = TTF_FontFaceStyleName(font);
    if (family) {
      const std::string styleName = Lower(style ? style : "");
      Face face;
      face.family = Lower(family);
      face.bold = styleName.find("bold") != std::string::npos;
      face.italic = styleName.find("italic") != std::string::npos ||
                    styleName.find("oblique") != std::string::npos;
      face.path = file.string();  // the form the program opens files by
      faces_->push_back(std::move(face));
    }
    TTF_CloseFont(font);
  }
}

std::string FolderFontLocator::FindFont(const std::string& family, bool bold) {
  if (family.empty()) return {};
  if (!faces_) {
    faces_.emplace();
    if (!TTF_WasInit() && TTF_Init() != 0) return {};
    for (const fs::path& folder : folders_.empty() ? DefaultFolders() : folders_) Scan(folder);
  }
  const std::string wanted = Lower(family);
  for (const Face& face : *faces_) {
    if (face.family == wanted && face.bold == bold && !face.italic) return face.path;
  }
  return {};
}

}  // namespace platform
