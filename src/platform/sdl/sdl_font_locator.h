// Installed fonts by family name, through fontconfig.
#pragma once

#include "platform/platform.h"

namespace platform {

class SdlFontLocator : public IFontLocator {
 public:
  // The file fontconfig picks for the family at regular or bold weight. Empty when the best
  // match is another family (fontconfig always finds something), so the caller can fall back
  // to a face of its own choice. Family names compare without regard to case.
  std::string FindFont(const std::string& family, bool bold) override;
};

}  // namespace platform
