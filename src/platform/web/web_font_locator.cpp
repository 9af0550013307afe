#include "platform/web/web_font_locator.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/file_places.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::string WebFontLocator::FindFont(const std::string& family, bool bold) {
  if (family.empty()) return {};
  if (!faces_) {
    faces_.emplace();
    if (!TTF_WasInit() && TTF_Init() != 0) return {};
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(DataPath("fonts"), ec), end; !ec && it != end;
         it.increment(ec)) {
      const std::string ext = Lower(it->path().extension().string());
      if (ext == ".ttf" || ext == ".otf") files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      // The size does not matter: only the face's names are read.
      TTF_Font* font = TTF_OpenFont(file.c_str(), 12);
      if (!font) continue;
      const char* name = TTF_FontFaceFamilyName(font);
      const std::string style = Lower(TTF_FontFaceStyleName(font) ? TTF_FontFaceStyleName(font) : "");
      if (name) {
        faces_->push_back({Lower(name), style.find("bold") != std::string::npos,
                           style.find("italic") != std::string::npos ||
                               style.find("oblique") != std::string::npos,
                           file.string()});
      }
      TTF_CloseFont(font);
    }
  }
  const std::string wanted = Lower(family);
  for (const Face& face : *faces_) {
    if (face.family == wanted && face.bold == bold && !face.italic) return face.path;
  }
  return {};
}

}  // namespace platform
