// Opens files and URLs the way Explorer does (ShellExecute "open"): a URL in the default
// browser, a file with the program registered for its type.
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform {

class WindowsShell : public IShell {
 public:
  // A string with "://" in it is a URL; anything else is a file, opened only if it exists.
  // Returns whether the system started something for it; nothing is waited for.
  bool Open(const std::string& fileOrUrl) override;
};

}  // namespace platform
