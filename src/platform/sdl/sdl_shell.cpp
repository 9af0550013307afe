#include "platform/sdl/sdl_shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace platform {

namespace {

// Runs in the forked middle process: starts the opener in a grandchild and reports through the
// exit status whether exec succeeded. Only async-signal-safe calls from here on.
[[noreturn]] void StartDetached(char* const argv[]) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) _exit(1);
  const pid_t child = fork();
  if (child < 0) _exit(1);
  if (child == 0) {
    close(pipeFds[0]);
    const int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
      dup2(devNull, STDIN_FILENO);
      close(devNull);
    }
    execvp(argv[0], argv);
    const int error = errno;
    (void)!write(pipeFds[1], &error, sizeof error);
    _exit(127);
  }
  close(pipeFds[1]);
  // The pipe closes without data when exec succeeded (close-on-exec).
  int error = 0;
  ssize_t n;
  do {
    n = read(pipeFds[0], &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  _exit(n > 0 ? 1 : 0);
}

}  // namespace

SdlShell::SdlShell(std::string opener) : opener_(std::move(opener)) {}

bool SdlShell::Open(const std::string& fileOrUrl) {
  if (fileOrUrl.empty()) return false;
  std::string target = fileOrUrl;
  if (fileOrUrl.find("://") == std::string::npos) {
    std::error_code ec;
    if (!std::filesystem::exists(fileOrUrl, ec)) return false;
    // A file name starting with '-' must not read as an option of the opener.
    if (target.front() == '-') target = "./" + target;
  }
  // Built before fork: the child may not allocate.
  char* const argv[] = {opener_.data(), target.data(), nullptr};
  const pid_t middle = fork();
  if (middle < 0) return false;
  if (middle == 0) StartDetached(argv);
  int status = 0;
  while (waitpid(middle, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
