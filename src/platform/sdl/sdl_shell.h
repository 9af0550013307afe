// Opens files and URLs with the desktop's opener (xdg-open), started as a detached process.
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform {

class SdlShell : public IShell {
 public:
  // opener: the program to start, found on PATH; tests pass a harmless one.
  explicit SdlShell(std::string opener = "xdg-open");

  // A string with "://" in it is a URL; anything else is a file, opened only if it exists.
  // The argument goes to the opener as one argument vector element, never through a shell.
  // Returns whether the opener could be started; it is not waited for (a middle process
  // exits at once, so no zombie is left behind).
  bool Open(const std::string& fileOrUrl) override;

 private:
  std::string opener_;
};

}  // namespace platform
