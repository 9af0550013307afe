#include "platform/platform.h"

#include <filesystem>

namespace platform {

namespace {
Platform gServices;
}

Platform& Services() { return gServices; }

void SetServices(const Platform& platform) { gServices = platform; }

std::string NativePath(const std::string& path) {
  std::string out = path;
  const char sep = static_cast<char>(std::filesystem::path::preferred_separator);
  for (char& c : out) {
    if (c == '\\' || c == '/') c = sep;
  }
  return out;
}

}  // namespace platform
