// Text made safe for the places the server writes it: HTML, URLs, the access log.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace starmoat::server {

// & < > " ' as entities: safe in element text and in quoted attribute values.
std::string HtmlEscape(std::string_view text);
// Every byte but A-Z a-z 0-9 - . _ ~ as %XX: safe as one query parameter value.
std::string UrlEncode(std::string_view text);
// Control bytes, bytes above 0x7E, " and \ as \xXX, so one request stays one log line and
// the quotes around it in the access log cannot be forged.
std::string LogSafe(std::string_view text);
// "2026-12-10" and "2026-12-10T13:55:00Z" for seconds since 1970, UTC.
std::string UtcDate(int64_t unix_seconds);
std::string UtcDateTime(int64_t unix_seconds);

}  // namespace starmoat::server
