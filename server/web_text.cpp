#include "web_text.h"

#include <ctime>

namespace starmoat::server {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

std::string FormatUtc(int64_t unix_seconds, const char* format) {
  const std::time_t time = static_cast<std::time_t>(unix_seconds);
  std::tm parts{};
  if (gmtime_r(&time, &parts) == nullptr) return "?";
  char text[32];
  const size_t size = std::strftime(text, sizeof text, format, &parts);
  return std::string(text, size);
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string UrlEncode(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
        byte == '~') {
      out.push_back(c);
    } else {
      out += {'%', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return out;
}

std::string LogSafe(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || byte == '\\' || byte == '"') {
      out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string UtcDate(int64_t unix_seconds) { return FormatUtc(unix_seconds, "%Y-%m-%d"); }

std::string UtcDateTime(int64_t unix_seconds) {
  return FormatUtc(unix_seconds, "%Y-%m-%dT%H:%M:%SZ");
}

}  // namespace starmoat::server
