// Parts of a test that must meet file permissions as a player does. Root passes every
// permission check, so when the tests run as root (as they do in CI) those parts run in a child
// process that has become the unprivileged user "nobody"; run as anyone else, they run as that
// user, who is already bound by permissions.
#pragma once

#if defined(_WIN32)
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// Windows keeps permissions in access lists, not in mode bits, and a test cannot become
// another user: the permission cases do not apply there.
struct Player {
  bool testIsRoot = false;
};
inline const char* NoPermissionPlayerReason() {
  return "POSIX modes and users; Windows keeps permissions in access lists and a test cannot "
         "become another user";
}
inline std::optional<Player> PermissionPlayer() { return std::nullopt; }
inline void GiveTo(const Player&, const std::filesystem::path&) {}
inline void SetMode(const std::filesystem::path&, unsigned) {}
inline std::string RunAsPlayer(const Player&, const std::function<std::string()>& body) {
  return body();
}
#else
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

struct Player {
  uid_t uid = 0;
  gid_t gid = 0;
  // Whether the test itself runs as root, and so can make files that are another user's.
  bool testIsRoot = false;
};

inline const char* NoPermissionPlayerReason() {
  return "running as root and there is no user \"nobody\" to become";
}

// Who the permission cases run as; empty when the tests run as root and there is no "nobody".
inline std::optional<Player> PermissionPlayer() {
  if (geteuid() != 0) return Player{geteuid(), getegid(), false};
  const passwd* pw = getpwnam("nobody");
  if (!pw) return std::nullopt;
  return Player{pw->pw_uid, pw->pw_gid, true};
}

// Gives a file or folder to the player (a no-op when the test already runs as the player).
inline void GiveTo(const Player& player, const std::filesystem::path& path) {
  if (player.testIsRoot) {
    if (lchown(path.c_str(), player.uid, player.gid) != 0) std::perror("lchown");
  }
}

inline void SetMode(const std::filesystem::path& path, mode_t mode) {
  if (chmod(path.c_str(), mode) != 0) std::perror("chmod");
}

// Runs body as the player in a child process and returns the text body returned, which the
// test then checks (a failed expectation inside the child would not reach the test).
// The child shares the test's standard error, so a captured stderr sees what it prints.
inline std::string RunAsPlayer(const Player& player, const std::function<std::string()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return "no pipe";
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = fork();
  if (pid < 0) return "no fork";
  if (pid == 0) {
    close(fds[0]);
    std::string out;
    if (player.testIsRoot &&
        (setgroups(0, nullptr) != 0 || setgid(player.gid) != 0 || setuid(player.uid) != 0)) {
      out = "the child could not become the player";
    } else {
      out = body();
    }
    size_t sent = 0;
    while (sent < out.size()) {
      const ssize_t n = write(fds[1], out.data() + sent, out.size() - sent);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    std::fflush(stderr);
    _exit(0);
  }
  close(fds[1]);
  std::string out;
  char buffer[256];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) out += " <the child died>";
  return out;
}
#endif
