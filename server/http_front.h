// The HTTP side of starmoat-scores: an event loop (Boost.Beast on Asio) that holds many
// connections at a small, fixed cost each, with the limits a server on the open internet needs
// (a deadline for each request, request line, header and body caps, connections per address
// and in all); the routes of the game's protocol, the JSON list and a health check; and one
// access-log line per answer. Answers that wait for the store are made on worker threads, so
// the loop itself never blocks on the store.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "replay_verifier.h"
#include "score_protocol.h"
#include "store.h"
#include "web_root.h"

namespace starmoat::server {

// Binding failed: what() is one line such as "127.0.0.1:8077: Address already in use".
class ListenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FrontOptions {
  std::string host = "127.0.0.1";
  int port = 8077;  // 0: any free port
  int threads = 32;  // worker threads for answers that wait for the store
  // Open connections in all, and from one client address; past them a new connection gets a
  // one-line 503 or 429 and is closed. The total is lowered to what the file limit allows.
  int max_connections = 10000;
  int max_connections_per_address = 64;
  // A request (line, headers and body) must arrive within head_timeout of its first byte; a
  // connection waits keep_alive_timeout for the first byte of its next request; an answer must
  // be taken by the client within write_timeout.
  std::chrono::milliseconds head_timeout{10000}, keep_alive_timeout{5000}, write_timeout{10000};
  size_t max_target_bytes = 2048;  // path and query of one request: longer gets 414
  size_t max_header_bytes = 8192;  // request line and header fields together: longer gets 431
  size_t max_body_bytes = 1024;    // the game sends none: longer gets 413
  ProtocolOptions protocol;
  // How uploaded replays are played back; its max_bytes is also the replay route's body cap.
  VerifierOptions verifier;
  // The game's web build, served at /play/; null: none.
  std::shared_ptr<const WebRoot> web_root;
  // Receives each access-log line (without the newline); the default writes it to stdout.
  std::function<void(const std::string&)> access_log;
};

class HttpFront {
 public:
  // The store must outlive the front.
  HttpFront(Store& store, FrontOptions options);
  ~HttpFront();

  // Binds the listening socket. Throws ListenError.
  void Bind();
  // The bound port (useful after asking for port 0).
  int port() const { return port_; }
  // Serves until Stop; returns once the requests in flight have been answered.
  void Run();
  // From any thread, also before Run has started serving.
  void Stop();

  struct Loop;  // the event loop and everything it owns

 private:
  std::unique_ptr<Loop> loop_;
  int port_ = 0;
};

}  // namespace starmoat::server
