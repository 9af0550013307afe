#include "http_router.h"

#include <algorithm>

namespace starmoat::server {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX decoded; a "%" without two hex digits stays as it is.
std::string Decode(std::string_view text, bool plus_is_space) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    out.push_back(plus_is_space && c == '+' ? ' ' : c);
  }
  return out;
}

bool Lists(const HttpRoute& route, std::string_view path) {
  if (!route.prefix) return std::find(route.paths.begin(), route.paths.end(), path) != route.paths.end();
  return std::any_of(route.paths.begin(), route.paths.end(),
                     [path](const std::string& start) { return path.rfind(start, 0) == 0; });
}

}  // namespace

HttpAnswer TextAnswer(int status, std::string_view line) {
  HttpAnswer answer;
  answer.status = status;
  answer.body = std::string(line) + "\n";
  return answer;
}

void HttpRouter::Add(HttpRoute route) { routes_.push_back(std::move(route)); }

const HttpRoute* HttpRouter::Find(std::string_view method, std::string_view path) const {
  const std::string_view wanted = method == "HEAD" ? std::string_view("GET") : method;
  for (const HttpRoute& route : routes_) {
    if (route.method == wanted && Lists(route, path)) return &route;
  }
  return nullptr;
}

HttpAnswer HttpRouter::Refusal(std::string_view path) const {
  for (const HttpRoute& route : routes_) {
    if (Lists(route, path)) return TextAnswer(405, "method not allowed");
  }
  return TextAnswer(404, "not found");
}

size_t HttpRouter::MaxBody(std::string_view method, std::string_view path) const {
  const HttpRoute* route = Find(method, path);
  return route != nullptr ? route->max_body_bytes : default_max_body_;
}

size_t HttpRouter::LargestBody() const {
  size_t largest = default_max_body_;
  for (const HttpRoute& route : routes_) largest = std::max(largest, route.max_body_bytes);
  return largest;
}

void SplitTarget(std::string_view target, std::string& path, QueryParams& params) {
  const size_t question = target.find('?');
  path = Decode(target.substr(0, question), false);
  params.clear();
  if (question == std::string_view::npos) return;
  std::string_view query = target.substr(question + 1);
  while (!query.empty()) {
    const size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    if (!pair.empty()) {
      const size_t equals = pair.find('=');
      params.emplace(Decode(pair.substr(0, equals), true),
                     equals == std::string_view::npos ? std::string()
                                                      : Decode(pair.substr(equals + 1), true));
    }
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
}

}  // namespace starmoat::server
