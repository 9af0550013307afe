// The SDL implementation of every platform interface, owned in one object by the entry point.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_gamepads.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_music_player.h"
#include "platform/sdl/sdl_sound_device.h"

// What SDL does not cover: opening a URL or a file, finding fonts, and HTTP.
#if defined(_WIN32)
#include "platform/sdl/sdl_http_client.h"
#include "platform/windows/windows_font_locator.h"
#include "platform/windows/windows_shell.h"
#elif defined(__EMSCRIPTEN__)
#include "platform/sdl/folder_font_locator.h"
#include "platform/web/web_http_client.h"
#include "platform/web/web_shell.h"
#else
#include "platform/sdl/sdl_font_locator.h"
#include "platform/sdl/sdl_http_client.h"
#include "platform/sdl/sdl_shell.h"
#endif

namespace platform {

#if defined(_WIN32)
using SystemShell = WindowsShell;
using SystemFontLocator = WindowsFontLocator;
using SystemHttpClient = SdlHttpClient;
#elif defined(__EMSCRIPTEN__)
using SystemShell = WebShell;
using SystemFontLocator = FolderFontLocator;  // the fonts packed with the page
using SystemHttpClient = WebHttpClient;
#else
using SystemShell = SdlShell;
using SystemFontLocator = SdlFontLocator;
using SystemHttpClient = SdlHttpClient;
#endif

class SdlPlatform {
 public:
  // Starts SDL's video, events and timer parts. When that fails (no display), Ok() is false,
  // Error() says why, and only the clock, shell, HTTP client and font locator are usable.
  // Game pads are picked up while the program runs; without SDL's controller part there are none.
  SdlPlatform();
  ~SdlPlatform();
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  bool Ok() const { return ok_; }
  const std::string& Error() const { return error_; }
  Platform Services();

 private:
  bool ok_ = false;
  std::string error_;
  SdlClock clock_;
  SystemShell shell_;
  SystemHttpClient http_;
  SystemFontLocator fonts_;
  std::unique_ptr<SdlDisplay> display_;
  std::unique_ptr<SdlInput> input_;
  std::unique_ptr<SdlEvents> events_;
  // Silent (closed) when there is no audio device; the player needs the device.
  std::unique_ptr<SdlSoundDevice> sound_;
  std::unique_ptr<SdlMusicPlayer> music_;
  std::unique_ptr<SdlGamepads> gamepads_;
};

}  // namespace platform
