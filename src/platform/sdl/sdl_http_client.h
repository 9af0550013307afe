// Blocking HTTP GET and POST through libcurl.
#pragma once

#include <curl/curl.h>

#include <memory>

#include "platform/platform.h"

namespace platform {

class SdlHttpClient : public IHttpClient {
 public:
  // Largest body accepted; a longer reply is an error (the server's replies are a few bytes).
  static constexpr size_t kMaxBody = 1 << 20;

  SdlHttpClient();

  // Sends the request's headers, follows no redirect, and gives up after the connect and total
  // time-outs. ok only for a complete reply with a 2xx status; error then stays empty.
  // Otherwise error says what went wrong (curl's message, or "HTTP status N").
  // Cookies set by a reply are kept for the client's lifetime and sent back with later
  // requests to the same server: the score server may tie its two requests together.
  // With a waiting hook, the transfer waits for the network in slices of one clock tick and
  // calls the hook between them.
  HttpResponse Get(const HttpRequest& request) override;
  // As Get, with the body sent at once (no "Expect: 100-continue" round trip).
  HttpResponse Post(const HttpRequest& request, const std::string& body) override;

 private:
  // A GET when body is null, else a POST of *body.
  HttpResponse Send(const HttpRequest& request, const std::string* body);

  struct ShareDeleter {
    void operator()(CURLSH* share) const { curl_share_cleanup(share); }
  };
  std::unique_ptr<CURLSH, ShareDeleter> cookies_;
};

}  // namespace platform
