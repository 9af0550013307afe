#include "platform/windows/windows_shell.h"

#include <windows.h>
#include <shellapi.h>

#include <filesystem>

#include "platform/windows/utf16.h"

namespace platform {

bool WindowsShell::Open(const std::string& fileOrUrl) {
  if (fileOrUrl.empty()) return false;
  const std::wstring target = Utf8ToUtf16(fileOrUrl);
  if (fileOrUrl.find("://") == std::string::npos) {
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::path(target), ec)) return false;
  }
  // The document is given as the file to open, never as a command line, so nothing in it is
  // read as a program or an option. Values above 32 mean success.
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace platform
