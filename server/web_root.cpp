#include "web_root.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "fnv1a.h"


namespace starmoat::server {

namespace fs = std::filesystem;

namespace {

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("--web-root: cannot read " + path.string());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in.good() && !in.eof()) throw std::runtime_error("--web-root: cannot read " + path.string());
  return bytes.str();
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

bool AcceptsGzip(std::string_view accept_encoding) {
  const std::string value = Lower(accept_encoding);
  size_t start = 0;
  while (start <= value.size()) {
    size_t end = value.find(',', start);
    if (end == std::string::npos) end = value.size();
    std::string_view item(value.data() + start, end - start);
    const size_t semicolon = item.find(';');
    std::string_view coding = item.substr(0, semicolon);
    while (!coding.empty() && coding.front() == ' ') coding.remove_prefix(1);
    while (!coding.empty() && coding.back() == ' ') coding.remove_suffix(1);
    if (coding == "gzip" || coding == "*") {
      if (semicolon == std::string_view::npos) return true;
      std::string_view q = item.substr(semicolon + 1);
      while (!q.empty() && q.front() == ' ') q.remove_prefix(1);
      // "q=0", "q=0.0", "q=0.000": refused; any other weight accepts.
      if (q.rfind("q=", 0) != 0) return true;
      q.remove_prefix(2);
      return q.find_first_not_of("0.") != std::string_view::npos;
    }
    start = end + 1;
  }
  return false;
}

std::string WebRoot::ContentType(std::string_view name) {
  static const std::pair<const char*, const char*> kTypes[] = {
      {".html", "text/html; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".wasm", "application/wasm"},
      {".data", "application/octet-stream"},
      {".css", "text/css; charset=utf-8"},
      {".png", "image/png"},
      {".ico", "image/x-icon"},
      {".txt", "text/plain; charset=utf-8"},
  };
  for (const auto& [extension, type] : kTypes) {
    if (EndsWith(name, extension)) return type;
  }
  return "application/octet-stream";
}

std::shared_ptr<const WebRoot> WebRoot::Load(const std::string& dir) {
  auto root = std::make_shared<WebRoot>();
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    throw std::runtime_error("--web-root: " + dir + " is not a folder");
  }
  std::map<std::string, std::string> compressed;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string name = it->path().filename().string();
    if (EndsWith(name, ".gz")) {
      compressed[name.substr(0, name.size() - 3)] = ReadWhole(it->path());
    } else {
      File file;
      file.bytes = ReadWhole(it->path());
      char tag[32];
      std::snprintf(tag, sizeof tag, "\"%zx-%016llx\"", file.bytes.size(),
                    static_cast<unsigned long long>(Fnv1a(file.bytes)));
      file.etag = tag;
      root->files_.emplace(name, std::move(file));
    }
  }
  if (ec) throw std::runtime_error("--web-root: cannot read the folder " + dir + ": " + ec.message());
  if (root->files_.count("index.html") == 0) {
    throw std::runtime_error("--web-root: " + dir + " holds no index.html (build the web game first)");
  }
  for (auto& [name, gzip] : compressed) {
    const auto file = root->files_.find(name);
    // A copy that would not save anything is not worth the browser's work.
    if (file != root->files_.end() && gzip.size() < file->second.bytes.size()) {
      file->second.gzip = std::move(gzip);
    }
  }
  return root;
}

HttpAnswer WebRoot::Answer(std::string_view path, std::string_view accept_encoding,
                           std::string_view if_none_match) const {
  const std::string_view name = path.empty() ? std::string_view("index.html") : path;
  const auto found = files_.find(name);
  if (found == files_.end()) return TextAnswer(404, "no such file in the game's page");
  const File& file = found->second;
  HttpAnswer answer;
  answer.content_type = ContentType(name);
  // The page itself is checked with the server each time, so that a new build is picked up at
  // once; the files it loads are revalidated after an hour, answered 304 while unchanged.
  answer.cache_control = name == "index.html" ? "no-cache" : "public, max-age=3600";
  answer.headers.emplace_back("ETag", file.etag);
  answer.headers.emplace_back("Vary", "Accept-Encoding");
  if (!if_none_match.empty() && if_none_match.find(file.etag) != std::string_view::npos) {
    answer.status = 304;
    return answer;
  }
  if (!file.gzip.empty() && AcceptsGzip(accept_encoding)) {
    answer.headers.emplace_back("Content-Encoding", "gzip");
    answer.body = file.gzip;
  } else {
    answer.body = file.bytes;
  }
  return answer;
}

}  // namespace starmoat::server
