// The HTTP side of starmoat-scores: cpp-httplib with the limits a server on the open internet
// needs, the routes of the game's protocol, the JSON list and a health check, and one
// access-log line per request.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

#include "score_protocol.h"
#include "store.h"

namespace starmoat::server {

// Binding failed: what() is one line such as "127.0.0.1:8077: Address already in use".
class ListenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FrontOptions {
  std::string host = "127.0.0.1";
  int port = 8077;  // 0: any free port
  int threads = 32;
  int max_waiting = 256;  // accepted connections waiting for a thread
  std::chrono::seconds read_timeout{5}, write_timeout{5}, keep_alive_timeout{5};
  size_t max_target_bytes = 2048;  // path and query of one request
  size_t max_body_bytes = 1024;    // the game sends none
  ProtocolOptions protocol;
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

 private:
  void Route();
  void Log(const httplib::Request& request, const httplib::Response& response);

  Store& store_;
  FrontOptions options_;
  ScoreProtocol protocol_;
  httplib::Server http_;
  int port_ = 0;
  std::atomic<bool> running_{false}, stopping_{false};
};

}  // namespace starmoat::server
