// Set-up calls the tests share with their Linux build, which MinGW's C library lacks: made
// from the Windows API, for the tests only (force-included by tests/windows/windows_tests.cmake).
#pragma once

#if defined(_WIN32)
// No <windows.h> here: it would put GetTickCount and the VK_ names into every test.
#include <direct.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

// The C library's environment, which SDL reads through getenv (SDL and the tests share
// msvcrt.dll).
inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && std::getenv(name)) return 0;
  return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) { return _putenv_s(name, "") == 0 ? 0 : -1; }

// The last six characters of templ ("XXXXXX") become a fresh folder's name.
inline char* mkdtemp(char* templ) {
  const size_t n = std::strlen(templ);
  if (n < 6 || std::strcmp(templ + n - 6, "XXXXXX") != 0) {
    errno = EINVAL;
    return nullptr;
  }
  static std::mt19937 generator{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (size_t i = n - 6; i < n; ++i) templ[i] = kLetters[generator() % (sizeof kLetters - 1)];
    if (_mkdir(templ) == 0) return templ;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}
#endif
