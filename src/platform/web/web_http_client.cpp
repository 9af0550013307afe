#include "platform/web/web_http_client.h"

#include <emscripten.h>

#include <strings.h>

#include <cstdlib>

#include "platform/web/web_shell.h"

namespace platform {

namespace {

// Requests in flight live in a JavaScript table by number; the program polls its entry.
// clang-format off
EM_JS(int, FetchStart, (const char* method, const char* path, const char* headerLines,
                       const char* body, int bodySize, int timeoutMs, int maxBody), {
  const table = Module.starmoatFetches || (Module.starmoatFetches = { next: 1 });
  const id = table.next++;
  const entry = table[id] = { done: false, ok: false, body: "", error: "" };
  const headers = new Headers();
  for (const line of UTF8ToString(headerLines).split("\n")) {
    const colon = line.indexOf(":");
    if (colon > 0) {
      // A header the browser keeps for itself (User-Agent in some) is left to the browser.
      try { headers.append(line.slice(0, colon), line.slice(colon + 1).trim()); } catch (e) {}
    }
  }
  const init = { method: UTF8ToString(method), headers: headers, redirect: "error", cache: "no-store" };
  // A copy: the program's memory may move (grow) while the request is under way.
  if (body) init.body = HEAPU8.slice(body, body + bodySize);
  const abort = new AbortController();
  init.signal = abort.signal;
  const timer = setTimeout(() => abort.abort(), timeoutMs);
  fetch(window.location.origin + UTF8ToString(path), init)
    .then(async (reply) => {
      const text = await reply.text();
      if (!reply.ok) entry.error = "HTTP status " + reply.status;
      else if (text.length > maxBody) entry.error = "reply too long";
      else { entry.ok = true; entry.body = text; }
    })
    .catch((e) => { entry.error = abort.signal.aborted ? "timed out" : String(e.message || e); })
    .finally(() => { clearTimeout(timer); entry.done = true; });
  return id;
});

EM_JS(int, FetchDone, (int id), { return Module.starmoatFetches[id].done ? 1 : 0; });

// The body (ok) or the error text, malloc'ed; the entry is forgotten.
EM_JS(char*, FetchTake, (int id, int* ok), {
  const entry = Module.starmoatFetches[id];
  delete Module.starmoatFetches[id];
  HEAP32[ok >> 2] = entry.ok ? 1 : 0;
  const text = entry.ok ? entry.body : entry.error;
  const size = lengthBytesUTF8(text) + 1;
  const copy = _malloc(size);
  stringToUTF8(text, copy, size);
  return copy;
});
// clang-format on

}  // namespace

HttpResponse WebHttpClient::Get(const HttpRequest& request) { return Send("GET", request, nullptr); }

HttpResponse WebHttpClient::Post(const HttpRequest& request, const std::string& body) {
  return Send("POST", request, &body);
}

HttpResponse WebHttpClient::Send(const char* method, const HttpRequest& request,
                                 const std::string* body) {
  std::string headerLines;
  bool typed = false;
  for (const auto& [name, value] : request.headers) {
    headerLines += name + ": " + value + "\n";
    typed = typed || strcasecmp(name.c_str(), "Content-Type") == 0;
  }
  if (body && !typed) headerLines += "Content-Type: application/octet-stream\n";
  const int id = FetchStart(method, SameOriginPath(request.url).c_str(), headerLines.c_str(),
                            body ? body->data() : nullptr, body ? static_cast<int>(body->size()) : 0,
                            static_cast<int>(request.timeoutMs), static_cast<int>(kMaxBody));
  while (!FetchDone(id)) {
    if (request.whileWaiting) request.whileWaiting();
    // One 64 Hz tick: the browser runs the request and the page meanwhile.
    emscripten_sleep(15);
  }
  int ok = 0;
  char* text = FetchTake(id, &ok);
  HttpResponse response;
  response.ok = ok != 0;
  (response.ok ? response.body : response.error) = text;
  std::free(text);
  return response;
}

}  // namespace platform
