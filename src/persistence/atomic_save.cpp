#include "persistence/atomic_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

namespace fs = std::filesystem;

namespace {

// More than any sane chain of links; a loop of links ends here too.
constexpr int kMaxLinkHops = 40;

fs::path FolderOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

std::string TemporaryPrefix(const fs::path& target) { return target.filename().string() + ".tmp"; }

std::string RandomSuffix() {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::mt19937 generator{std::random_device{}() ^ static_cast<unsigned>(getpid())};
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string suffix(6, ' ');
  for (char& c : suffix) c = kLetters[pick(generator)];
  return suffix;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// The rename is only durable once the folder's own entry list has reached the disk. Some file
// systems refuse to sync a folder; the new content is then as safe as they make it.
void SyncFolder(const fs::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

fs::path FollowLinks(const fs::path& path) {
  fs::path current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(current, ec))) return current;
    const fs::path next = fs::read_symlink(current, ec);
    if (ec) return current;
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return current;
}

bool MayWrite(const fs::path& path) {
#if defined(__EMSCRIPTEN__)
  // A page has one user and no set-user-id: the plain check is the same question, and the
  // browser's file system takes no flags.
  return access(path.c_str(), W_OK) == 0;
#else
  return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
#endif
}

bool AtomicSave(const fs::path& target, const std::string& bytes, std::string& error) {
  const fs::path folder = FolderOf(target);
  fs::path temp;
  int fd = -1;
  // Exclusive creation fails on any existing name, a link included, so nothing planted there
  // is ever written through; a taken name just means another try.
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = folder / (TemporaryPrefix(target) + RandomSuffix());
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      error = std::strerror(errno);
      return false;
    }
  }
  if (fd < 0) {
    error = "no free name for a temporary file";
    return false;
  }

  // The new file takes the old one's place, permissions included. Only root may hand a file to
  // another owner; anyone else keeps the file as their own.
  struct stat old {};
  if (stat(target.c_str(), &old) == 0) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
      // not allowed: the file stays ours
    }
    fchmod(fd, old.st_mode & 07777);
  }

  bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
  int cause = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    cause = errno;
  }
  if (ok && rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    cause = errno;
  }
  if (!ok) {
    unlink(temp.c_str());
    error = std::strerror(cause);
    return false;
  }
  SyncFolder(folder);
  return true;
}

void RemoveStaleTemporaries(const fs::path& target) {
  const std::string prefix = TemporaryPrefix(target);
  std::vector<fs::path> stale;
  std::error_code ec;
  for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().rfind(prefix, 0) != 0) continue;
    std::error_code statusError;
    if (it->symlink_status(statusError).type() == fs::file_type::regular) stale.push_back(it->path());
  }
  for (const fs::path& path : stale) fs::remove(path, ec);
}
