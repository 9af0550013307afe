// HTTP GET and POST from the browser page through fetch(), to the server that served the page
// (same origin: the game's score host is replaced by the page's own). The program waits in slices
// of one clock tick, giving the browser its turn (ASYNCIFY) and calling the request's waiting
// hook between them, so the page stays alive while a score is sent.
#pragma once

#include "platform/platform.h"

namespace platform {

class WebHttpClient : public IHttpClient {
 public:
  // Largest body accepted; a longer reply is an error (the server's replies are a few bytes).
  static constexpr size_t kMaxBody = 1 << 20;

  // ok only for a complete reply with a 2xx status; otherwise error says what went wrong
  // ("HTTP status N", "timed out", or the browser's message). The request's total time-out is
  // kept; the browser has no separate connect time-out. Cookies are the browser's.
  HttpResponse Get(const HttpRequest& request) override;
  // The same for a POST of `body` (application/octet-stream unless the headers name a type).
  HttpResponse Post(const HttpRequest& request, const std::string& body) override;

 private:
  HttpResponse Send(const char* method, const HttpRequest& request, const std::string* body);
};

}  // namespace platform
