// Opens a URL from the browser page: in a new tab, and on the server that served the page
// whatever host the URL names (the game's world-table link points at its score server, which
// in the browser is the page's own origin). Files cannot be opened from a page.
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform {

class WebShell : public IShell {
 public:
  // True when the browser opened a tab for the URL (a pop-up blocker may refuse it); false for
  // anything that is not an http(s) URL.
  bool Open(const std::string& fileOrUrl) override;
};

// "http://host:port/path?query" becomes "/path?query"; anything without a scheme and host is
// returned as it is. The page's origin is then the host.
std::string SameOriginPath(const std::string& url);

}  // namespace platform
