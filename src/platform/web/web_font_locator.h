// Fonts by family name in the browser: the page brings the game's faces in the fonts folder of
// its data (a page can read no system font). Each file's family and style come from the file
// itself, read through SDL_ttf, so any face put in that folder is found by its name.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

class WebFontLocator : public IFontLocator {
 public:
  // A face of that family (compared without regard to case) whose style is Bold, or Regular
  // when bold is false. Empty when the folder has none.
  std::string FindFont(const std::string& family, bool bold) override;

 private:
  struct Face {
    std::string family;  // lower case
    bool bold = false;
    bool italic = false;
    std::string path;
  };
  std::optional<std::vector<Face>> faces_;  // read when the first font is asked for
};

}  // namespace platform
