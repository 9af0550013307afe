#include "http_front.h"

#include <sys/resource.h>
#include <sys/socket.h>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "http_connection.h"
#include "http_router.h"
#include "replay_routes.h"
#include "web_text.h"

namespace starmoat::server {

namespace asio = boost::asio;
using asio::ip::tcp;
using boost::system::error_code;

namespace {

void WriteToStdout(const std::string& line) {
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

HttpAnswer FromReply(const Reply& reply) {
  HttpAnswer answer;
  answer.status = reply.status;
  answer.content_type = reply.content_type;
  answer.body = reply.body;
  return answer;
}

// Every connection is a file descriptor: the soft limit is raised as far as the hard one
// allows, and the connection limit kept below it with room for the store's own files.
int ConnectionsTheFileLimitAllows(int wanted) {
  constexpr rlim_t kSpare = 64;
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return wanted;
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = std::min<rlim_t>(limit.rlim_max, 1 << 20);
    if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  if (limit.rlim_cur == RLIM_INFINITY) return wanted;
  const rlim_t room = limit.rlim_cur > 2 * kSpare ? limit.rlim_cur - kSpare : limit.rlim_cur / 2;
  return static_cast<int>(std::max<rlim_t>(1, std::min<rlim_t>(wanted, room)));
}

}  // namespace

struct HttpFront::Loop {
  Loop(Store& scores, FrontOptions front_options)
      : options(std::move(front_options)),
        workers(static_cast<size_t>(std::max(1, options.threads))),
        store(scores),
        protocol(scores, options.protocol),
        verifier(scores, options.verifier,
                 [this](const ScoreRow& row, bool verified, const std::string& why) {
                   protocol.TableChanged();
                   options.access_log("replay of score " + std::to_string(row.id) +
                                      (verified ? ": verified" : ": refused: " + LogSafe(why)));
                 }),
        replays(scores, verifier),
        router(options.max_body_bytes),
        shared{options, router, workers, {}, {}} {
    if (!options.access_log) options.access_log = WriteToStdout;
    options.max_connections = ConnectionsTheFileLimitAllows(std::max(1, options.max_connections));
    shared.log = options.access_log;
    shared.closed = [this](HttpConnection* connection, const std::string& address) {
      Forget(connection, address);
    };
    AddRoutes();
  }

  // The replays a stop cut short (being checked, or waiting) are checked again, as far as the
  // queue has room; any left over wait for the next start.
  void CheckLeftReplays() {
    std::vector<ClaimedReplay> left;
    try {
      left = store.ClaimedReplays();
    } catch (const StoreError& error) {
      options.access_log(std::string("replays left from the last run not read: ") + error.what());
      return;
    }
    size_t queued = 0;
    for (ClaimedReplay& claimed : left) {
      if (!verifier.HasRoom()) break;
      verifier.Enqueue(claimed.row, std::move(claimed.bytes));
      ++queued;
    }
    if (!left.empty()) {
      options.access_log("replays left from the last run: " + std::to_string(left.size()) +
                         ", checking " + std::to_string(queued) + " now");
    }
  }

  void AddRoutes() {
    // The game's own path keeps its double slash; one slash is accepted too, for people typing.
    router.Add({"GET", {"//cgi/version.pl", "/cgi/version.pl"}, options.max_body_bytes, true,
                [this](const HttpRequest& request) {
                  HttpAnswer answer = FromReply(protocol.VersionPl(request.params, request.address));
                  if (answer.content_type.rfind("text/html", 0) == 0) {
                    // The page shows what clients sent: no scripts, no outside resources, ever.
                    answer.headers.emplace_back(
                        "Content-Security-Policy",
                        "default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; "
                        "base-uri 'none'; frame-ancestors 'none'");
                  }
                  return answer;
                }});
    router.Add({"GET", {"/api/scores"}, options.max_body_bytes, true,
                [this](const HttpRequest& request) {
                  return FromReply(protocol.ScoresJson(request.params));
                }});
    router.Add({"POST", {"/api/replays"}, options.verifier.max_bytes, true,
                [this](const HttpRequest& request) {
                  return FromReply(replays.Upload(request.params, request.body));
                }});
    router.Add({"GET", {"/api/replays"}, options.max_body_bytes, true,
                [this](const HttpRequest& request) {
                  HttpAnswer answer = FromReply(replays.Download(request.params));
                  if (answer.status == 200) {
                    answer.headers.emplace_back(
                        "Content-Disposition",
                        "attachment; filename=\"starmoat-" + request.params.find("id")->second +
                            ".smr\"");
                  }
                  return answer;
                }});
    router.Add({"GET", {"/healthz"}, options.max_body_bytes, false,
                [](const HttpRequest&) { return TextAnswer(200, "ok"); }});
    if (options.web_root) {
      // Answered from memory on the loop itself: nothing here waits.
      router.Add({"GET", {"/play/"}, options.max_body_bytes, false,
                  [root = options.web_root](const HttpRequest& request) {
                    return root->Answer(std::string_view(request.path).substr(6),
                                        request.accept_encoding, request.if_none_match);
                  },
                  true});
      router.Add({"GET", {"/play"}, options.max_body_bytes, false, [](const HttpRequest&) {
                    HttpAnswer answer = TextAnswer(301, "the game is at /play/");
                    answer.headers.emplace_back("Location", "/play/");
                    return answer;
                  }});
    }
  }

  void Accept() {
    acceptor.async_accept([this](const error_code& error, tcp::socket socket) {
      if (stopping || !acceptor.is_open()) return;
      if (error) {
        // Out of descriptors or memory for a moment: try again shortly instead of spinning.
        accept_pause.expires_after(std::chrono::milliseconds(100));
        accept_pause.async_wait([this](const error_code& paused) {
          if (!paused && !stopping) Accept();
        });
        return;
      }
      Admit(std::move(socket));
      Accept();
    });
  }

  void Admit(tcp::socket socket) {
    error_code error;
    const tcp::endpoint peer = socket.remote_endpoint(error);
    if (error) return;  // already gone
    std::string address = peer.address().to_string();
    socket.set_option(tcp::no_delay(true), error);
    if (static_cast<int>(open.size()) >= options.max_connections) {
      TurnAway(socket, address, TextAnswer(503, "the server is busy; try again later"));
      return;
    }
    const auto counted = per_address.find(address);
    if (counted != per_address.end() && counted->second >= options.max_connections_per_address) {
      TurnAway(socket, address, TextAnswer(429, "too many connections from your address"));
      return;
    }
    ++per_address[address];
    auto connection = std::make_shared<HttpConnection>(std::move(socket), address, shared);
    open.emplace(connection.get(), connection);
    connection->Start();
  }

  // One short answer written straight into the fresh socket's empty send buffer, then closed:
  // a connection over a limit costs nothing more.
  void TurnAway(tcp::socket& socket, const std::string& address, const HttpAnswer& answer) {
    const std::string bytes = AnswerBytes(answer, false, true);
    ::send(socket.native_handle(), bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    error_code ignored;
    socket.shutdown(tcp::socket::shutdown_send, ignored);
    socket.close(ignored);
    shared.log(AccessLogLine(address, "-", answer.status, answer.body.size(), {}));
  }

  void Forget(HttpConnection* connection, const std::string& address) {
    open.erase(connection);
    const auto counted = per_address.find(address);
    if (counted != per_address.end() && --counted->second <= 0) per_address.erase(counted);
    if (stopping && open.empty()) work.reset();
  }

  void BeginStop() {
    if (stopping) return;
    stopping = true;
    shared.stopping = true;
    error_code ignored;
    acceptor.close(ignored);
    accept_pause.cancel();
    std::vector<std::shared_ptr<HttpConnection>> connections;
    for (const auto& [pointer, weak] : open) {
      if (auto connection = weak.lock()) connections.push_back(std::move(connection));
    }
    for (const auto& connection : connections) connection->Stop();
    connections.clear();
    if (open.empty()) work.reset();
  }

  FrontOptions options;
  asio::io_context io{1};
  tcp::acceptor acceptor{io};
  asio::steady_timer accept_pause{io};
  // Keeps the loop running while answers are being made on workers, until the front stops
  // and its last connection has closed.
  std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work{
      asio::make_work_guard(io)};
  asio::thread_pool workers;
  Store& store;
  ScoreProtocol protocol;
  ReplayVerifier verifier;
  ReplayRoutes replays;
  HttpRouter router;
  ConnectionShared shared;
  std::unordered_map<HttpConnection*, std::weak_ptr<HttpConnection>> open;
  std::unordered_map<std::string, int> per_address;
  bool stopping = false;
};

HttpFront::HttpFront(Store& store, FrontOptions options)
    : loop_(std::make_unique<Loop>(store, std::move(options))) {}

HttpFront::~HttpFront() {
  Stop();
  loop_->workers.join();
}

void HttpFront::Bind() {
  const FrontOptions& options = loop_->options;
  const std::string where = options.host + ":" + std::to_string(options.port) + ": ";
  error_code error;
  tcp::resolver resolver(loop_->io);
  const auto found = resolver.resolve(options.host, std::to_string(options.port),
                                      tcp::resolver::passive, error);
  if (error) throw ListenError(where + error.message());
  std::string reason = "cannot listen";
  for (const auto& entry : found) {
    tcp::acceptor& acceptor = loop_->acceptor;
    error_code step;
    acceptor.open(entry.endpoint().protocol(), step);
    // Only SO_REUSEADDR: SO_REUSEPORT would let a second server share a port that is taken
    // instead of reporting it.
    if (!step) acceptor.set_option(tcp::acceptor::reuse_address(true), step);
    if (!step) acceptor.bind(entry.endpoint(), step);
    if (!step) acceptor.listen(asio::socket_base::max_listen_connections, step);
    if (!step) {
      port_ = acceptor.local_endpoint().port();
      return;
    }
    reason = step.message();
    error_code ignored;
    acceptor.close(ignored);
  }
  throw ListenError(where + reason);
}

void HttpFront::Run() {
  loop_->CheckLeftReplays();
  if (loop_->acceptor.is_open()) loop_->Accept();
  loop_->io.run();
  loop_->workers.join();
  // Replays still being checked are dropped too: the store may be closed once Run returns.
  loop_->verifier.Stop();
}

void HttpFront::Stop() {
  Loop* loop = loop_.get();
  asio::post(loop->io, [loop] { loop->BeginStop(); });
}

}  // namespace starmoat::server
