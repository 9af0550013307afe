// One client connection of the HTTP front, on the front's event loop. It costs a socket, a
// timer and a few hundred bytes while idle; a request being read holds at most the header cap
// plus its route's body cap, however the client sends it (trickled, pipelined or chunked).
// Requests are answered one at a time and in order; an answer that waits for the store is
// made on a worker thread while the loop serves the other connections.
#pragma once

// Boost 1.74's Asio uses std::exchange without including <utility> itself.
#include <utility>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "http_front.h"
#include "http_router.h"

namespace starmoat::server {

class HttpConnection;

// What the connections of one front share; touched only on the loop's thread.
struct ConnectionShared {
  const FrontOptions& options;
  const HttpRouter& router;
  boost::asio::thread_pool& workers;
  std::function<void(const std::string&)> log;
  // Called from the connection's destructor.
  std::function<void(HttpConnection*, const std::string& address)> closed;
  bool stopping = false;
};

// The bytes of an answer: status line, headers (the common ones, the answer's own, the length,
// "Connection: close" unless kept alive) and, unless with_body is false (HEAD), the body.
std::string AnswerBytes(const HttpAnswer& answer, bool keep_alive, bool with_body);
// One access-log line: time, address, the request as far as it was read, status, body bytes
// and milliseconds since the request's first byte; client text escaped.
std::string AccessLogLine(const std::string& address, std::string_view request, int status,
                          size_t body_bytes, std::chrono::steady_clock::duration took);

class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
 public:
  HttpConnection(boost::asio::ip::tcp::socket socket, std::string address,
                 ConnectionShared& shared);
  ~HttpConnection();

  void Start();
  // The front is stopping: an idle connection closes now; a request being read or answered is
  // finished, answered with "Connection: close" and the connection closed after it.
  void Stop();

 private:
  using Clock = std::chrono::steady_clock;
  enum class Phase { kIdle, kReading, kAnswering, kWriting, kLingering, kClosed };

  void EnterIdle();
  void StartRequest();
  void WaitReadable();
  void OnReadable(const boost::system::error_code& error);
  void Discard();
  void Parse();
  bool HeadRead();
  void Dispatch();
  void Refuse(int status, std::string_view why);
  void Send(const HttpAnswer& answer);
  void OnWritten(const boost::system::error_code& error);
  void Linger();
  void Close();
  void ArmTimer(Clock::duration after);
  void OnTimeout();
  std::string_view Buffered() const;

  boost::asio::ip::tcp::socket socket_;
  boost::asio::steady_timer timer_;
  uint64_t timer_generation_ = 0;
  std::string address_;
  ConnectionShared& shared_;
  Phase phase_ = Phase::kIdle;
  bool waiting_ = false;  // an async_wait for readability is outstanding

  boost::beast::flat_buffer buffer_;
  std::optional<boost::beast::http::request_parser<boost::beast::http::string_body>> parser_;
  bool head_read_ = false;
  HttpRequest request_;
  std::string request_line_;  // for the log
  bool keep_alive_ = true, with_body_ = true;
  Clock::time_point started_, deadline_;

  std::string out_;
  int status_ = 0;
  size_t body_bytes_ = 0;
};

}  // namespace starmoat::server
