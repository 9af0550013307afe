// The built starmoat-scores as a child process, with its output read through pipes.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace starmoat::server {

class ScoresProcess {
 public:
  // run_as, when given, is a command (an absolute path and its words) that starts the
  // executable, such as setpriv to run it as another user.
  explicit ScoresProcess(const std::vector<std::string>& arguments,
                         const std::vector<std::string>& run_as = {}) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    std::vector<std::string> words = run_as;
    words.push_back(STARMOAT_SCORES_EXE);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, words[0].c_str(), &actions, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    // Both pipes are read all the time: a server logging every request would otherwise fill
    // the pipe and stop in the middle of a write.
    out_reader_ = std::thread([this, fd = out[0]] { Drain(fd, out_); });
    err_reader_ = std::thread([this, fd = err[0]] { Drain(fd, err_); });
  }
  ~ScoresProcess() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
    if (out_reader_.joinable()) out_reader_.join();
    if (err_reader_.joinable()) err_reader_.join();
  }

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  void Signal(int signal) { kill(pid_, signal); }

  // The next line of standard output, or "" when the process closed it or 10 s passed.
  std::string ReadLine() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(10), [this] {
      return out_.text.find('\n', read_) != std::string::npos || out_.closed;
    });
    const size_t newline = out_.text.find('\n', read_);
    if (newline == std::string::npos) return "";
    std::string line = out_.text.substr(read_, newline - read_);
    read_ = newline + 1;
    return line;
  }

  // Waits for the exit; the exit status, or 128 + the signal that ended it.
  int Wait() {
    if (status_ >= 0) return status_;
    int raw = 0;
    waitpid(pid_, &raw, 0);
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
  }

  // What is left of standard output after the lines read, and all of standard error, once the
  // process has exited and closed them.
  std::string Output() { return Finished(out_).substr(read_); }
  std::string Errors() { return Finished(err_); }

 private:
  struct Stream {
    std::string text;
    bool closed = false;
  };

  void Drain(int fd, Stream& stream) {
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      stream.text.append(buffer, got);
      changed_.notify_all();
    }
    close(fd);
    std::lock_guard<std::mutex> lock(mutex_);
    stream.closed = true;
    changed_.notify_all();
  }
  std::string Finished(Stream& stream) {
    Wait();
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&stream] { return stream.closed; });
    return stream.text;
  }

  pid_t pid_ = -1;
  int status_ = -1;
  std::mutex mutex_;
  std::condition_variable changed_;
  Stream out_, err_;
  size_t read_ = 0;  // of out_.text, through ReadLine
  std::thread out_reader_, err_reader_;
};

}  // namespace starmoat::server
