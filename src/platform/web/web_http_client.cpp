#include "platform/web/web_http_client.h"

#include <emscripten.h>

#include <cstdlib>

#include "platform/web/web_shell.h"

namespace platform {

namespace {

// Requests in flight live in a JavaScript table by number; the program polls its entry.
// clang-format off
EM_JS(int, FetchStart, (const char* path, const char* headerLines, int timeoutMs, int maxBody), {
  const table = Module.starmoatFetches || (Module.starmoatFetches = { next: 1 });
  const id = table.next++;
  const entry = table[id] = { done: false, ok: false, body: "", error: "" };
  const headers = new Headers();
  for (const line of UTF8ToString(headerLines).split("\n")) {
    const colon = line.indexOf(":");
    if (colon > 0) headers.append(line.slice(0, colon), line.slice(colon + 1).trim());
  }
  const abort = new AbortController();
  const timer = setTimeout(() => abort.abort(), timeoutMs);
  fetch(window.location.origin + UTF8ToString(path),
        { headers: headers, signal: abort.signal, redirect: "error", cache: "no-store" })
    .then(async (reply) => {
      const body = await reply.text();
      if (!reply.ok) entry.error = "HTTP status " + reply.status;
      else if (body.length > maxBody) entry.error = "reply too long";
      else { entry.ok = true; entry.body = body; }
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

HttpResponse WebHttpClient::Get(const HttpRequest& request) {
  std::string headerLines;
  for (const auto& [name, value] : request.headers) headerLines += name + ": " + value + "\n";
  const int id = FetchStart(SameOriginPath(request.url).c_str(), headerLines.c_str(),
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
