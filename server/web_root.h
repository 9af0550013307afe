// The game's web build, served at /play/ by `serve --web-root DIR`: the files of DIR (the
// page, the program, its WebAssembly and its packed data) read once at start-up and answered
// from memory, with their MIME types, a gzip copy to browsers that take one (DIR/NAME.gz made
// by the build beside NAME), and validators so that a returning player downloads nothing again.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "http_router.h"

namespace starmoat::server {

class WebRoot {
 public:
  // Reads every regular file directly in dir (not below it). Throws std::runtime_error naming
  // the folder when it cannot be read or holds no index.html.
  static std::shared_ptr<const WebRoot> Load(const std::string& dir);

  // The answer to GET of `path` under /play/ ("" is the page itself): 200 with the file (gzip
  // when accept_encoding allows and a .gz copy exists), 304 when if_none_match names the
  // current version, 404 for anything else.
  HttpAnswer Answer(std::string_view path, std::string_view accept_encoding,
                    std::string_view if_none_match) const;

  // The MIME type the server sends for a file name.
  static std::string ContentType(std::string_view name);

 private:
  struct File {
    std::string bytes;
    std::string gzip;  // empty: no compressed copy
    std::string etag;  // quoted
  };
  std::map<std::string, File, std::less<>> files_;
};

// Whether an Accept-Encoding value allows gzip (a q of 0 refuses it).
bool AcceptsGzip(std::string_view accept_encoding);

}  // namespace starmoat::server
