// The built starmoat-scores as a child process, with its output read through pipes.
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace starmoat::server {

class ScoresProcess {
 public:
  explicit ScoresProcess(const std::vector<std::string>& arguments) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    std::vector<std::string> words = {STARMOAT_SCORES_EXE};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, STARMOAT_SCORES_EXE, &actions, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~ScoresProcess() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
    close(out_);
    close(err_);
  }

  bool started() const { return pid_ > 0; }
  void Signal(int signal) { kill(pid_, signal); }

  // The next line of standard output, or "" when the process closed it or 10 s passed.
  std::string ReadLine() { return ReadLineFrom(out_, out_buffer_); }

  // Waits for the exit; the exit status, or 128 + the signal that ended it.
  int Wait() {
    if (status_ >= 0) return status_;
    int raw = 0;
    waitpid(pid_, &raw, 0);
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
  }

  // Everything left on both pipes, after the exit.
  std::string Output() { return out_buffer_ + Drain(out_); }
  std::string Errors() { return Drain(err_); }

 private:
  static std::string Drain(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, got);
    return text;
  }
  static std::string ReadLineFrom(int fd, std::string& buffer) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
      const size_t newline = buffer.find('\n');
      if (newline != std::string::npos) {
        std::string line = buffer.substr(0, newline);
        buffer.erase(0, newline + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd wait{fd, POLLIN, 0};
      if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) <= 0) return "";
      char chunk[1024];
      const ssize_t got = read(fd, chunk, sizeof chunk);
      if (got <= 0) return "";
      buffer.append(chunk, got);
    }
  }

  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  int status_ = -1;
  std::string out_buffer_;
};

}  // namespace starmoat::server
