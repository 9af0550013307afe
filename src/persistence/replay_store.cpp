#include "persistence/replay_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "persistence/atomic_save.h"
#include "platform/file_places.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolder = "replays";
constexpr char kMagic[4] = {'S', 'M', 'R', 'P'};

void Report(const fs::path& path, const std::string& why) {
  // UTF-8 on every system: a Windows path is wide, and its narrow form throws on names the
  // code page cannot spell.
  const std::u8string name = path.u8string();
  std::fprintf(stderr, "Starmoat: cannot save the replay %s: %s\n",
               std::string(name.begin(), name.end()).c_str(), why.c_str());
}

// An existing file is replaced only when it reads as one of our replays: a file of the same
// name that is someone else's, or that cannot be read, stays as it is.
bool MayReplace(const fs::path& target, std::string& why) {
  std::error_code ec;
  if (!fs::exists(target, ec)) return true;
  std::ifstream in(target, std::ios::binary);
  char head[sizeof kMagic] = {};
  if (!in.read(head, sizeof head)) {
    why = "the file there cannot be read";
    return false;
  }
  if (std::memcmp(head, kMagic, sizeof kMagic) != 0) {
    why = "the file there is not a Starmoat replay";
    return false;
  }
  if (!MayWrite(target)) {
    why = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

std::string TopTenReplayName(std::time_t when, int32_t score) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return std::string(stamp) + "-" + std::to_string(score) + ".smr";
}

std::string ReplayPath(const std::string& fileName) {
  return platform::ConfigPath(std::string(kFolder) + "/" + fileName);
}

bool SaveReplay(const std::string& fileName, const std::string& bytes) {
  const fs::path folder = platform::ConfigPath(kFolder);
  std::string why;
  if (!platform::MakeConfigFolder(why)) {
    Report(folder, why);
    return false;
  }
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    // Like the settings folder, for the user alone.
    if (!fs::create_directory(folder, ec) && !fs::is_directory(folder)) {
      Report(folder, ec.message());
      return false;
    }
    fs::permissions(folder, fs::perms::owner_all, ec);
  }
  const fs::path target = FollowLinks(ReplayPath(fileName));
  if (!MayReplace(target, why) || !AtomicSave(target, bytes, why)) {
    Report(target, why);
    return false;
  }
  return true;
}
