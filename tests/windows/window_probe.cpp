// What the Windows side knows of the game's window, for the real-window tests under Wine:
// there is no window manager on the test's X display, so a minimised window looks the same
// from outside; the window's own state says what Windows made of it.
//
//   window_probe state TITLE     prints "minimized", "shown" or "none"
//   window_probe restore TITLE   restores it, as a click on its taskbar button does
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::wstring Wide(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1u, L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
  wide.resize(std::wcslen(wide.c_str()));
  return wide;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "state") != 0 && std::strcmp(argv[1], "restore") != 0)) {
    std::fprintf(stderr, "usage: window_probe state|restore TITLE\n");
    return 2;
  }
  const HWND window = FindWindowW(nullptr, Wide(argv[2]).c_str());
  if (std::strcmp(argv[1], "state") == 0) {
    std::puts(!window ? "none" : IsIconic(window) ? "minimized" : "shown");
    return 0;
  }
  if (!window) {
    std::fprintf(stderr, "window_probe: no window \"%s\"\n", argv[2]);
    return 1;
  }
  ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
  return 0;
}
