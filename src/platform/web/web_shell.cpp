#include "platform/web/web_shell.h"

#include <emscripten.h>

namespace platform {

namespace {

// clang-format off
EM_JS(int, OpenInNewTab, (const char* path), {
  // Joined as text: the server's paths start with "//", which a URL resolver takes for a host.
  return window.open(window.location.origin + UTF8ToString(path), "_blank") ? 1 : 0;
});
// clang-format on

}  // namespace

std::string SameOriginPath(const std::string& url) {
  const size_t scheme = url.find("://");
  if (scheme == std::string::npos) return url;
  const size_t path = url.find('/', scheme + 3);
  if (path == std::string::npos) return "/";
  return url.substr(path);
}

bool WebShell::Open(const std::string& fileOrUrl) {
  if (fileOrUrl.rfind("http://", 0) != 0 && fileOrUrl.rfind("https://", 0) != 0) return false;
  return OpenInNewTab(SameOriginPath(fileOrUrl).c_str()) != 0;
}

}  // namespace platform
