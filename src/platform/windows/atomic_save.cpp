// The Windows side of persistence/atomic_save.h: the new content goes to a fresh file beside the
// target, reaches the disk, and then replaces the target in one MoveFileEx, so a crash or a full
// disk leaves either the old or the new file, never a mix.
#include "persistence/atomic_save.h"

#include <windows.h>
#include <io.h>

#include <random>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40;

fs::path FolderOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

std::string TemporaryPrefix(const fs::path& target) { return target.filename().string() + ".tmp"; }

std::string RandomSuffix() {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::mt19937 generator{std::random_device{}() ^ static_cast<unsigned>(GetCurrentProcessId())};
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string suffix(6, ' ');
  for (char& c : suffix) c = kLetters[pick(generator)];
  return suffix;
}

std::string SystemMessage(DWORD code) {
  return std::system_category().message(static_cast<int>(code));
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return false;
    done += written;
  }
  return true;
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

// Windows keeps no write bits: a file refuses writing through its read-only attribute (and
// ACLs, which only an attempt can tell).
bool MayWrite(const fs::path& path) { return _waccess(path.c_str(), 2) == 0; }

bool AtomicSave(const fs::path& target, const std::string& bytes, std::string& error) {
  const fs::path folder = FolderOf(target);
  fs::path temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  // CREATE_NEW fails on any existing name, so nothing planted there is written through; a
  // taken name just means another try.
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp = folder / (TemporaryPrefix(target) + RandomSuffix());
    file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
      error = SystemMessage(GetLastError());
      return false;
    }
  }
  if (file == INVALID_HANDLE_VALUE) {
    error = "no free name for a temporary file";
    return false;
  }

  bool ok = WriteAll(file, bytes) && FlushFileBuffers(file);
  DWORD cause = ok ? 0 : GetLastError();
  if (!CloseHandle(file) && ok) {
    ok = false;
    cause = GetLastError();
  }
  // Replaces the target in one step; WRITE_THROUGH returns only once the move is on the disk.
  if (ok && !MoveFileExW(temp.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    cause = GetLastError();
  }
  if (!ok) {
    DeleteFileW(temp.c_str());
    error = SystemMessage(cause);
    return false;
  }
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
