#include "http_connection.h"

#include <sys/socket.h>

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/status.hpp>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "web_text.h"

namespace starmoat::server {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using boost::system::error_code;

namespace {

// How long a connection that has been answered "Connection: close" goes on reading (and
// dropping) what the client still sends, so that the close does not reset the connection
// before the client has read the answer.
constexpr std::chrono::seconds kLinger{2};
// How long a request that is still coming in when the server stops may take to finish.
constexpr std::chrono::seconds kLastMoment{1};
// The request line may be this much longer than its target: method, spaces and version.
constexpr size_t kLineSlack = 32;
// The most the log shows of a request line that was refused before it was parsed.
constexpr size_t kLoggedLine = 200;

HttpAnswer Answer(const HttpRoute& route, const HttpRequest& request) {
  try {
    return route.answer(request);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "starmoat-scores: %s\n", LogSafe(error.what()).c_str());
  } catch (...) {
    std::fprintf(stderr, "starmoat-scores: unknown error\n");
  }
  return TextAnswer(503, "the score store is not available; try again later");
}

}  // namespace

std::string AnswerBytes(const HttpAnswer& answer, bool keep_alive, bool with_body) {
  const auto reason = http::obsolete_reason(static_cast<http::status>(answer.status));
  std::string out;
  out.reserve(256 + (with_body ? answer.body.size() : 0));
  out += "HTTP/1.1 " + std::to_string(answer.status) + " ";
  out.append(reason.data(), reason.size());
  out += "\r\nContent-Type: " + answer.content_type +
         "\r\nContent-Length: " + std::to_string(answer.body.size()) +
         "\r\nX-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer"
         "\r\nCache-Control: " + answer.cache_control + "\r\n";
  for (const auto& [name, value] : answer.headers) out += name + ": " + value + "\r\n";
  if (!keep_alive) out += "Connection: close\r\n";
  out += "\r\n";
  if (with_body) out += answer.body;
  return out;
}

std::string AccessLogLine(const std::string& address, std::string_view request, int status,
                          size_t body_bytes, std::chrono::steady_clock::duration took) {
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(took).count();
  char tail[64];
  std::snprintf(tail, sizeof tail, "\" %d %zu %.3fms", status, body_bytes,
                static_cast<double>(micros) / 1000.0);
  return UtcDateTime(std::time(nullptr)) + " " + LogSafe(address) + " \"" + LogSafe(request) +
         tail;
}

HttpConnection::HttpConnection(asio::ip::tcp::socket socket, std::string address,
                               ConnectionShared& shared)
    : socket_(std::move(socket)),
      timer_(socket_.get_executor()),
      address_(std::move(address)),
      shared_(shared),
      buffer_(shared.options.max_header_bytes + 4096) {}

HttpConnection::~HttpConnection() { shared_.closed(this, address_); }

void HttpConnection::Start() {
  error_code ignored;
  socket_.non_blocking(true, ignored);
  EnterIdle();
}

void HttpConnection::Stop() {
  if (phase_ == Phase::kIdle) {
    Close();
  } else if (phase_ == Phase::kReading) {
    // A request still coming in gets a last moment, so a slow client cannot hold the stop.
    ArmTimer(std::min<Clock::duration>(deadline_ - Clock::now(), kLastMoment));
  }
}

void HttpConnection::EnterIdle() {
  phase_ = Phase::kIdle;
  if (shared_.stopping) {
    Close();
    return;
  }
  ArmTimer(shared_.options.keep_alive_timeout);
  WaitReadable();
}

void HttpConnection::StartRequest() {
  phase_ = Phase::kReading;
  started_ = Clock::now();
  // The whole request must be in within this time, however slowly it trickles.
  deadline_ = started_ + shared_.options.head_timeout;
  ArmTimer(shared_.options.head_timeout);
  parser_.emplace();
  parser_->header_limit(static_cast<uint32_t>(shared_.options.max_header_bytes));
  // Lowered to the route's own cap once the head says which route it is.
  parser_->body_limit(shared_.router.LargestBody());
  head_read_ = false;
  request_ = HttpRequest();
  request_line_.clear();
}

void HttpConnection::WaitReadable() {
  if (waiting_) return;
  waiting_ = true;
  // Waiting without a buffer: an idle connection holds no read buffer at all.
  socket_.async_wait(asio::ip::tcp::socket::wait_read,
                     [self = shared_from_this()](const error_code& error) {
                       self->OnReadable(error);
                     });
}

void HttpConnection::OnReadable(const error_code& error) {
  waiting_ = false;
  if (phase_ == Phase::kClosed) return;
  if (error) {
    Close();
    return;
  }
  if (phase_ == Phase::kLingering) {
    Discard();
    return;
  }
  // While a request is answered nothing more is read: pipelined requests wait in the kernel
  // and in the bounded buffer, not in memory of their own.
  if (phase_ != Phase::kIdle && phase_ != Phase::kReading) return;

  const size_t room = buffer_.max_size() - buffer_.size();
  error_code read_error;
  const size_t available = socket_.available(read_error);
  const size_t want = std::min(room, std::clamp<size_t>(available, 512, 16384));
  const size_t got = want == 0 ? 0 : socket_.read_some(buffer_.prepare(want), read_error);
  if (read_error == asio::error::would_block || read_error == asio::error::try_again) {
    WaitReadable();
    return;
  }
  if (read_error || (got == 0 && want != 0)) {
    Close();  // the client closed or reset the connection
    return;
  }
  buffer_.commit(got);
  if (phase_ == Phase::kIdle) StartRequest();
  Parse();
}

void HttpConnection::Discard() {
  char sink[4096];
  for (int reads = 0; reads < 64; ++reads) {
    error_code error;
    const size_t got = socket_.read_some(asio::buffer(sink), error);
    if (error == asio::error::would_block || error == asio::error::try_again) break;
    if (error || got == 0) {
      Close();
      return;
    }
  }
  WaitReadable();
}

std::string_view HttpConnection::Buffered() const {
  const auto data = buffer_.data();
  return std::string_view(static_cast<const char*>(data.data()), data.size());
}

void HttpConnection::Parse() {
  const FrontOptions& options = shared_.options;
  if (!parser_->is_header_done()) {
    // The request line is judged on its own, as soon as it is longer than any the server
    // takes, before the rest of the head has come.
    const std::string_view text = Buffered();
    const size_t end = text.find('\n');
    if ((end == std::string_view::npos ? text.size() : end) > options.max_target_bytes + kLineSlack) {
      Refuse(414, "the request line is too long");
      return;
    }
  }
  for (;;) {
    boost::beast::error_code error;
    const size_t used = parser_->put(buffer_.data(), error);
    buffer_.consume(used);
    if (error == http::error::need_more) {
      if (buffer_.size() >= buffer_.max_size()) {
        if (parser_->is_header_done()) {
          Refuse(413, "the request body is too large");
        } else {
          Refuse(431, "the request header fields are too large");
        }
        return;
      }
      WaitReadable();
      return;
    }
    if (error == http::error::header_limit) {
      Refuse(431, "the request header fields are too large");
      return;
    }
    if (error == http::error::body_limit) {
      Refuse(413, "the request body is too large");
      return;
    }
    if (error) {
      Refuse(400, "bad request");
      return;
    }
    if (parser_->is_header_done() && !head_read_ && !HeadRead()) return;
    if (parser_->is_done()) break;
    if (used == 0) {
      WaitReadable();
      return;
    }
  }
  Dispatch();
}

// The head is in: the route is known, so its own body cap applies from here on.
bool HttpConnection::HeadRead() {
  head_read_ = true;
  const auto& message = parser_->get();
  request_.method = std::string(message.method_string());
  request_.target = std::string(message.target());
  request_line_ = request_.method + " " + request_.target;
  if (request_.target.size() > shared_.options.max_target_bytes) {
    Refuse(414, "the request line is too long");
    return false;
  }
  SplitTarget(request_.target, request_.path, request_.params);
  request_.accept_encoding = std::string(message[http::field::accept_encoding]);
  request_.if_none_match = std::string(message[http::field::if_none_match]);
  const size_t cap = shared_.router.MaxBody(request_.method, request_.path);
  const auto length = parser_->content_length();
  if (length && *length > cap) {
    Refuse(413, "the request body is too large");
    return false;
  }
  parser_->body_limit(cap);
  // A client that asks before sending its body (curl does, for bodies over 1 KiB) is told
  // to go on at once instead of after its own wait. Nothing else is being written now, and
  // the fresh send buffer takes these few bytes whole.
  const auto expect = message.find(http::field::expect);
  if (expect != message.end() && boost::beast::iequals(expect->value(), "100-continue") &&
      (message.chunked() || (length && *length > 0))) {
    static constexpr char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";
    ::send(socket_.native_handle(), kContinue, sizeof kContinue - 1, MSG_DONTWAIT | MSG_NOSIGNAL);
  }
  return true;
}

void HttpConnection::Dispatch() {
  phase_ = Phase::kAnswering;
  ++timer_generation_;
  timer_.cancel();
  auto& message = parser_->get();
  keep_alive_ = message.keep_alive();
  with_body_ = message.method() != http::verb::head;
  request_.body = std::move(message.body());
  request_.address = address_;
  parser_.reset();

  const HttpRoute* route = shared_.router.Find(request_.method, request_.path);
  if (route == nullptr) {
    Send(shared_.router.Refusal(request_.path));
    return;
  }
  if (!route->blocking) {
    Send(Answer(*route, request_));
    return;
  }
  asio::post(shared_.workers, [self = shared_from_this(), route]() mutable {
    HttpAnswer answer = Answer(*route, self->request_);
    // The loop takes the connection back; this thread keeps no reference to it, so the
    // connection always ends on the loop's thread.
    const auto loop = self->socket_.get_executor();
    asio::post(loop, [self = std::move(self), answer = std::move(answer)] { self->Send(answer); });
  });
}

void HttpConnection::Refuse(int status, std::string_view why) {
  if (request_line_.empty() && parser_ && !parser_->get().target().empty()) {
    // Refused while the head was being finished (a declared length over every cap).
    request_line_ = std::string(parser_->get().method_string()) + " " +
                    std::string(parser_->get().target());
  }
  if (request_line_.empty()) {
    // Refused before the head was parsed: the log shows the start of what came.
    const std::string_view text = Buffered();
    const size_t end = std::min({text.find_first_of("\r\n"), text.size(), kLoggedLine});
    std::string_view line = text.substr(0, end);
    // Logged as parsed requests are, without the version.
    for (std::string_view version : {" HTTP/1.1", " HTTP/1.0"}) {
      if (line.size() > version.size() && line.substr(line.size() - version.size()) == version) {
        line.remove_suffix(version.size());
      }
    }
    request_line_ = std::string(line) + (end == kLoggedLine && end < text.size() ? "..." : "");
  }
  keep_alive_ = false;
  with_body_ = true;
  parser_.reset();
  Send(TextAnswer(status, why));
}

void HttpConnection::Send(const HttpAnswer& answer) {
  if (phase_ == Phase::kClosed) return;
  if (shared_.stopping) keep_alive_ = false;
  status_ = answer.status;
  body_bytes_ = answer.body.size();
  out_ = AnswerBytes(answer, keep_alive_, with_body_);
  phase_ = Phase::kWriting;
  ArmTimer(shared_.options.write_timeout);
  asio::async_write(socket_, asio::buffer(out_),
                    [self = shared_from_this()](const error_code& error, size_t) {
                      self->OnWritten(error);
                    });
}

void HttpConnection::OnWritten(const error_code& error) {
  if (phase_ == Phase::kClosed) return;
  shared_.log(AccessLogLine(address_, request_line_, status_, body_bytes_, Clock::now() - started_));
  out_ = std::string();
  request_ = HttpRequest();
  request_line_.clear();
  if (error) {
    Close();
    return;
  }
  if (!keep_alive_) {
    Linger();
    return;
  }
  if (buffer_.size() == 0) {
    buffer_.shrink_to_fit();
    EnterIdle();
    return;
  }
  // The next request is already here (pipelined): it is answered before anything more is read.
  StartRequest();
  Parse();
}

void HttpConnection::Linger() {
  phase_ = Phase::kLingering;
  error_code ignored;
  socket_.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
  buffer_.consume(buffer_.size());
  buffer_.shrink_to_fit();
  ArmTimer(kLinger);
  WaitReadable();
}

void HttpConnection::Close() {
  if (phase_ == Phase::kClosed) return;
  phase_ = Phase::kClosed;
  ++timer_generation_;
  timer_.cancel();
  error_code ignored;
  socket_.close(ignored);
}

void HttpConnection::ArmTimer(Clock::duration after) {
  const uint64_t generation = ++timer_generation_;
  timer_.expires_after(after);
  timer_.async_wait([self = shared_from_this(), generation](const error_code& error) {
    if (!error && generation == self->timer_generation_) self->OnTimeout();
  });
}

void HttpConnection::OnTimeout() {
  switch (phase_) {
    case Phase::kReading:
      Refuse(408, "the request took too long");
      break;
    case Phase::kIdle:
    case Phase::kWriting:
    case Phase::kLingering:
      Close();
      break;
    case Phase::kAnswering:
    case Phase::kClosed:
      break;
  }
}

}  // namespace starmoat::server
