#include "platform/sdl/sdl_http_client.h"

#include <curl/curl.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/sdl/quit_signals.h"

namespace platform {

namespace {

struct Body {
  std::string data;
  bool tooLarge = false;
};

size_t Append(char* data, size_t size, size_t count, void* user) {
  auto* body = static_cast<Body*>(user);
  const size_t bytes = size * count;
  if (body->data.size() + bytes > SdlHttpClient::kMaxBody) {
    body->tooLarge = true;
    return 0;  // makes curl stop with a write error
  }
  body->data.append(data, bytes);
  return bytes;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// How long one wait for network activity lasts before the waiting hook runs again: one tick
// of the 64 Hz clock, so a caller that shows frames can show one per tick.
constexpr int kWaitSliceMs = 15;

// Runs one transfer to its end, calling whileWaiting between slices of waiting for the
// network. The transfer's own time-outs still end it.
CURLcode Perform(CURL* curl, const std::function<void()>& whileWaiting) {
  if (!whileWaiting) return curl_easy_perform(curl);
  CURLM* multi = curl_multi_init();
  if (!multi) return CURLE_OUT_OF_MEMORY;
  CURLcode result = CURLE_OK;
  if (curl_multi_add_handle(multi, curl) != CURLM_OK) {
    curl_multi_cleanup(multi);
    return CURLE_FAILED_INIT;
  }
  int running = 1;
  for (;;) {
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      result = CURLE_RECV_ERROR;
      break;
    }
    if (running == 0) {
      int left = 0;
      for (CURLMsg* message; (message = curl_multi_info_read(multi, &left)) != nullptr;) {
        if (message->msg == CURLMSG_DONE) result = message->data.result;
      }
      break;
    }
    whileWaiting();
    if (curl_multi_poll(multi, nullptr, 0, kWaitSliceMs, nullptr) != CURLM_OK) {
      result = CURLE_RECV_ERROR;
      break;
    }
  }
  curl_multi_remove_handle(multi, curl);
  curl_multi_cleanup(multi);
  return result;
}

}  // namespace

SdlHttpClient::SdlHttpClient() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  cookies_.reset(curl_share_init());
  if (cookies_) curl_share_setopt(cookies_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
}

HttpResponse SdlHttpClient::Get(const HttpRequest& request) { return Send(request, nullptr); }

HttpResponse SdlHttpClient::Post(const HttpRequest& request, const std::string& body) {
  return Send(request, &body);
}

HttpResponse SdlHttpClient::Send(const HttpRequest& request, const std::string* sent) {
  HttpResponse response;
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) {
    response.error = "cannot start an HTTP request";
    return response;
  }
  std::vector<std::pair<std::string, std::string>> fields = request.headers;
  if (sent) {
    bool typed = false;
    for (const auto& field : fields) typed = typed || curl_strequal(field.first.c_str(), "Content-Type");
    if (!typed) fields.emplace_back("Content-Type", "application/octet-stream");
    // An empty value makes curl leave the header out: the body follows at once.
    fields.emplace_back("Expect", "");
  }
  std::unique_ptr<curl_slist, SlistDeleter> headers;
  for (const auto& [name, value] : fields) {
    const std::string line = name + ":" + (value.empty() ? "" : " " + value);
    curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
    if (!grown) {
      response.error = "out of memory";
      return response;
    }
    headers.release();
    headers.reset(grown);
  }
  Body body;
  char errorText[CURL_ERROR_SIZE] = "";
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
  if (sent) {
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(sent->size()));
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, sent->data());
  } else {
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  }
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeoutMs));
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeoutMs));
  // No SIGALRM for name look-up time-outs: the program has its own signal handlers.
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Append);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
  // An empty cookie file switches the cookie engine on without reading any file.
  curl_easy_setopt(c, CURLOPT_COOKIEFILE, "");
  if (cookies_) curl_easy_setopt(c, CURLOPT_SHARE, cookies_.get());

  CURLcode code;
  {
    const QuitSignals::Blocking blocking;
    code = Perform(c, request.whileWaiting);
  }
  if (code != CURLE_OK) {
    if (body.tooLarge) {
      response.error = "reply too large";
    } else {
      response.error = errorText[0] ? errorText : curl_easy_strerror(code);
    }
    return response;
  }
  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  if (status < 200 || status > 299) {
    response.error = "HTTP status " + std::to_string(status);
    return response;
  }
  response.ok = true;
  response.body = std::move(body.data);
  return response;
}

}  // namespace platform
