#include "http_front.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>

#include "bounded_task_queue.h"
#include "web_text.h"

namespace starmoat::server {

namespace {

using Clock = std::chrono::steady_clock;

// Set when routing starts, read by the access log on the same worker thread.
thread_local Clock::time_point request_start;
thread_local bool request_timed = false;

void WriteToStdout(const std::string& line) {
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void Send(httplib::Response& response, const Reply& reply) {
  response.status = reply.status;
  response.set_content(reply.body, reply.content_type.c_str());
}

QueryParams Params(const httplib::Request& request) {
  return QueryParams(request.params.begin(), request.params.end());
}

// Only SO_REUSEADDR: cpp-httplib's default adds SO_REUSEPORT, which would let a second server
// share a port that is already taken instead of reporting it.
void SocketOptions(int socket) {
  const int yes = 1;
  setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

// Why binding host:port fails, from the system itself (cpp-httplib only says that it did).
std::string BindFailure(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  const int lookup = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (lookup != 0) return gai_strerror(lookup);
  std::string reason = "cannot listen";
  for (addrinfo* at = found; at != nullptr; at = at->ai_next) {
    const int fd = socket(at->ai_family, at->ai_socktype, at->ai_protocol);
    if (fd < 0) {
      reason = std::strerror(errno);
      continue;
    }
    SocketOptions(fd);
    const bool bound = bind(fd, at->ai_addr, at->ai_addrlen) == 0;
    reason = bound ? "cannot listen" : std::strerror(errno);
    close(fd);
    if (!bound) break;
  }
  freeaddrinfo(found);
  return reason;
}

}  // namespace

HttpFront::HttpFront(Store& store, FrontOptions options)
    : store_(store), options_(std::move(options)), protocol_(store_, options_.protocol) {
  if (!options_.access_log) options_.access_log = WriteToStdout;
  const size_t threads = static_cast<size_t>(std::max(1, options_.threads));
  const size_t waiting = static_cast<size_t>(std::max(0, options_.max_waiting));
  http_.new_task_queue = [threads, waiting] { return new BoundedTaskQueue(threads, waiting); };
  http_.set_socket_options(SocketOptions);
  // Headers and body go out in separate writes; with Nagle's algorithm on, the body waits for
  // the client's delayed acknowledgement, some 40 ms on every keep-alive request.
  http_.set_tcp_nodelay(true);
  http_.set_read_timeout(options_.read_timeout);
  http_.set_write_timeout(options_.write_timeout);
  http_.set_keep_alive_timeout(options_.keep_alive_timeout.count());
  http_.set_keep_alive_max_count(100);
  http_.set_payload_max_length(options_.max_body_bytes);
  http_.set_default_headers({{"X-Content-Type-Options", "nosniff"},
                             {"Referrer-Policy", "no-referrer"},
                             {"Cache-Control", "no-store"}});
  Route();
}

HttpFront::~HttpFront() { Stop(); }

void HttpFront::Route() {
  http_.set_pre_routing_handler([this](const httplib::Request& request,
                                       httplib::Response& response) {
    request_start = Clock::now();
    request_timed = true;
    if (request.target.size() > options_.max_target_bytes) {
      response.status = 414;
      response.set_content("the request line is too long\n", "text/plain; charset=utf-8");
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });

  // The game's own path keeps its double slash; one slash is accepted too, for people typing.
  http_.Get(R"(//?cgi/version\.pl)", [this](const httplib::Request& request,
                                              httplib::Response& response) {
    const Reply reply = protocol_.VersionPl(Params(request), request.remote_addr);
    Send(response, reply);
    if (reply.content_type.rfind("text/html", 0) == 0) {
      // The page shows what clients sent: no scripts, no outside resources, ever.
      response.set_header("Content-Security-Policy",
                          "default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; "
                          "base-uri 'none'; frame-ancestors 'none'");
    }
  });
  http_.Get("/api/scores", [this](const httplib::Request& request, httplib::Response& response) {
    Send(response, protocol_.ScoresJson(Params(request)));
  });
  http_.Get("/healthz", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("ok\n", "text/plain; charset=utf-8");
  });

  http_.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (response.body.empty()) {
      const char* what = response.status == 404   ? "not found"
                         : response.status == 413 ? "the request body is too large"
                         : response.status == 414 ? "the request line is too long"
                         : response.status == 405 ? "method not allowed"
                                                  : "bad request";
      response.set_content(std::string(what) + "\n", "text/plain; charset=utf-8");
    }
  });
  http_.set_exception_handler([](const httplib::Request&, httplib::Response& response,
                                 std::exception_ptr error) {
    std::string what = "unknown error";
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      what = e.what();
    } catch (...) {
    }
    std::fprintf(stderr, "starmoat-scores: %s\n", LogSafe(what).c_str());
    response.status = 503;
    response.set_content("the score store is not available; try again later\n",
                         "text/plain; charset=utf-8");
  });
  http_.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
    Log(request, response);
  });
}

void HttpFront::Log(const httplib::Request& request, const httplib::Response& response) {
  std::string line = UtcDateTime(std::time(nullptr)) + " " + LogSafe(request.remote_addr) +
                     " \"" + LogSafe(request.method) + " " + LogSafe(request.target) + "\" " +
                     std::to_string(response.status) + " " +
                     std::to_string(response.body.size());
  if (request_timed) {
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - request_start);
    char took[32];
    std::snprintf(took, sizeof took, " %.3fms", static_cast<double>(micros.count()) / 1000.0);
    line += took;
    request_timed = false;
  }
  options_.access_log(line);
}

void HttpFront::Bind() {
  if (options_.port == 0) {
    port_ = http_.bind_to_any_port(options_.host);
    if (port_ <= 0) {
      throw ListenError(options_.host + ":0: " + BindFailure(options_.host, 0));
    }
    return;
  }
  if (!http_.bind_to_port(options_.host, options_.port)) {
    throw ListenError(options_.host + ":" + std::to_string(options_.port) + ": " +
                      BindFailure(options_.host, options_.port));
  }
  port_ = options_.port;
}

void HttpFront::Run() {
  running_ = true;
  if (!stopping_) http_.listen_after_bind();
  running_ = false;
}

void HttpFront::Stop() {
  // cpp-httplib ignores a stop that comes before its loop runs; wait for the loop to start
  // when Run is already on its way, and Run sees stopping_ when it is not.
  stopping_ = true;
  while (running_ && !http_.is_running()) std::this_thread::yield();
  http_.stop();
}

}  // namespace starmoat::server
