// The routes of the HTTP front: which method and path a request names, how large a body that
// route takes, whether answering it may block on the store, and the function that answers.
// Knows nothing of sockets, so a route is added with a few lines and tested without a network.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "score_protocol.h"

namespace starmoat::server {

struct HttpRequest {
  std::string method;
  std::string target;   // as the client sent it
  std::string path;     // the target's path, percent-decoded
  QueryParams params;   // the target's query, percent-decoded ("+" is a space)
  std::string address;  // the client's
  std::string body;
  // The request's header fields that answers depend on (empty when not sent).
  std::string accept_encoding;
  std::string if_none_match;
};

struct HttpAnswer {
  int status = 200;
  std::string content_type = "text/plain; charset=utf-8";
  std::string body;
  // Most answers are made afresh for each request; files that do not change may be kept.
  std::string cache_control = "no-store";
  // Beyond the headers every answer carries.
  std::vector<std::pair<std::string, std::string>> headers;
};

// A plain-text answer of one line.
HttpAnswer TextAnswer(int status, std::string_view line);

struct HttpRoute {
  std::string method;               // "GET", "POST"; a GET route answers HEAD too
  std::vector<std::string> paths;   // exact, decoded paths (their beginnings, with prefix)
  size_t max_body_bytes = 0;        // a longer body gets 413 before it is read
  bool blocking = true;             // may wait for the store: answered on a worker thread
  std::function<HttpAnswer(const HttpRequest&)> answer;
  bool prefix = false;              // every path that begins with one of paths
};

class HttpRouter {
 public:
  // Requests that match no route may carry at most default_max_body bytes before 413.
  explicit HttpRouter(size_t default_max_body) : default_max_body_(default_max_body) {}

  void Add(HttpRoute route);

  // The route for method and path, or null (then Refusal says 404 or 405).
  const HttpRoute* Find(std::string_view method, std::string_view path) const;
  HttpAnswer Refusal(std::string_view path) const;
  // The body a request may carry, decided from its head so a body is refused unread.
  size_t MaxBody(std::string_view method, std::string_view path) const;
  // The largest body any request may carry: what a connection must be able to hold.
  size_t LargestBody() const;

 private:
  size_t default_max_body_;
  std::vector<HttpRoute> routes_;
};

// Splits a request target into its decoded path and query parameters.
void SplitTarget(std::string_view target, std::string& path, QueryParams& params);

}  // namespace starmoat::server
