#include "platform/sdl/sdl_font_locator.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

namespace platform {

namespace {

bool HasFamily(FcPattern* font, const std::string& family) {
  FcChar8* name = nullptr;
  // A font may carry several family names (localised ones, or a typographic family).
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0) return true;
  }
  return false;
}

}  // namespace

std::string SdlFontLocator::FindFont(const std::string& family, bool bold) {
  if (family.empty() || !FcInit()) return {};
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return {};
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  std::string path;
  if (match) {
    FcChar8* file = nullptr;
    if (HasFamily(match, family) && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      path = reinterpret_cast<const char*>(file);
    }
    FcPatternDestroy(match);
  }
  return path;
}

}  // namespace platform
