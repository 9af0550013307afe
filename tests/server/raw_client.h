// A TCP client that sends exactly the bytes it is given, for tests that play hostile or
// unusual HTTP clients (slow, oversized, pipelined). It can connect from any 127.x.y.z
// address, so a test can be many clients as a server's per-address limit sees them.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <string_view>

namespace starmoat::server {

class RawClient {
 public:
  RawClient(int port, const std::string& from = "127.0.0.1") {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return;
    sockaddr_in source{};
    source.sin_family = AF_INET;
    inet_pton(AF_INET, from.c_str(), &source.sin_addr);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &target.sin_addr);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
        connect(fd_, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~RawClient() {
    if (fd_ >= 0) close(fd_);
  }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  bool connected() const { return fd_ >= 0; }

  // All of bytes; false once the server has closed or reset the connection.
  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent < 0 && errno == EINTR) continue;
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
  }

  // Everything until the server closes the connection (or the time is up).
  std::string ReadToEnd(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    std::string text;
    while (Read(text, limit) > 0) {
    }
    return text;
  }

  // Appends what arrives within limit: the bytes read, 0 at the end of the stream (or a
  // reset), -1 when nothing came in time.
  long Read(std::string& text, std::chrono::milliseconds limit) {
    pollfd ready{fd_, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(limit.count())) <= 0) return -1;
    char buffer[65536];
    const ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
    if (got <= 0) {
      ended_ = true;
      return 0;
    }
    text.append(buffer, static_cast<size_t>(got));
    return got;
  }

  // True when the server has closed the connection: a read would see its end now.
  bool ClosedByServer() {
    std::string ignored;
    while (!ended_ && Read(ignored, std::chrono::milliseconds(0)) > 0) {
    }
    return ended_;
  }

 private:
  int fd_ = -1;
  bool ended_ = false;
};

}  // namespace starmoat::server
