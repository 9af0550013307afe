// The narrow interfaces between Starmoat and the operating system.
//
// The shell, the game, the menus and the persistence code see only these interfaces; the SDL
// implementation lives in platform/sdl/, and the tests implement them with fakes
// (tests/fakes/). Nothing here includes an SDL header.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Point {
  int32_t x = 0, y = 0;
};

// The system tick count: milliseconds, 32-bit, advancing in steps of the 64 Hz system timer
// (0, 15, 31, 46, 62, 78, ...), wrapping around like GetTickCount.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual uint32_t TickCount() = 0;
  // Blocks the calling thread (the Alt-key waits, short pauses).
  virtual void Sleep(uint32_t ms) = 0;
  // Milliseconds until the tick count next changes (0 when it already has); the frame loop waits
  // this long for window events instead of spinning.
  virtual uint32_t MsUntilNextTick() = 0;
};

// The window and what is shown in it. Frames are 800 x 600 pixels of 0x00RRGGBB.
class IDisplay {
 public:
  virtual ~IDisplay() = default;
  // Size of the desktop in pixels, as the system reports it now.
  virtual Point ScreenSize() = 0;
  // Windowed: a bordered window with an 800 x 600 client area, centred on the screen.
  // Full screen: a borderless window over the whole desktop, the picture scaled to fit and
  // letterboxed. Safe to call again to switch modes.
  virtual void SetMode(bool windowed) = 0;
  // Copies one 800 x 600 frame onto the window (pitch in bytes). A frame composed in the
  // canvas is shown without a copy.
  virtual void Present(const uint32_t* pixels, int pitch) = 0;
  // Where the next frame can be composed so that presenting it copies nothing (the window's
  // own pixels): 800 x 600 pixels of 0x00RRGGBB, rows 3200 bytes apart, valid until the next
  // call. Null when the window cannot show such a frame as it is (scaled full screen,
  // another pixel format); the frame is then composed elsewhere and copied.
  virtual uint32_t* Canvas() { return nullptr; }
  // True while the window still shows the last presented frame: no mode switch, resize,
  // expose or failed present has lost it since. False when the display cannot tell.
  virtual bool ShowsLastFrame() { return false; }
  // The window's outer rectangle in screen coordinates.
  virtual Rect WindowRect() = 0;
  // Screen position of the client area's top-left corner.
  virtual Point ClientOrigin() = 0;
  virtual void MoveWindow(int32_t left, int32_t top) = 0;
  virtual void Minimize() = 0;
  virtual void ShowCursor(bool visible) = 0;
  // Moves the pointer to a point of the client area.
  virtual void SetCursorPos(int32_t x, int32_t y) = 0;
  // A blocking error box (used only for fatal errors); must work with no window too.
  virtual void ShowError(const std::string& title, const std::string& message) = 0;
};

// Immediate state of the keyboard and mouse, as the game polls them.
class IInputDevices {
 public:
  virtual ~IInputDevices() = default;
  // 256 bytes indexed by DirectInput key code; 0x80 while a key is held. An unacquired
  // keyboard leaves the bytes untouched (the caller has zeroed them).
  virtual void ReadKeyboard(uint8_t state[256]) = 0;
  // 20 bytes: three little-endian int32 motions (x, y, wheel) since the last read, then eight
  // button bytes (0x80 while held).
  virtual void ReadMouse(uint8_t state[20]) = 0;
  virtual void AcquireKeyboard(bool acquire) = 0;
  virtual void AcquireMouse(bool acquire) = 0;
};

// The controls of a game pad the program uses, named by their place on the pad (an Xbox pad's
// A is South, B East, X West; a PlayStation pad's Cross is South). The four directions come from
// the D-pad or from the left stick pushed past its dead zone.
enum PadControl : uint8_t {
  kPadUp, kPadDown, kPadLeft, kPadRight,
  kPadSouth, kPadEast, kPadWest,
  kPadStart, kPadBack, kPadRightTrigger,
  kPadControlCount,
};

constexpr uint32_t PadBit(PadControl control) { return 1u << control; }

// The game pads connected now; pads are plugged in and pulled out at any time, and any of them
// controls. Called from the frame loop only.
class IGamepads {
 public:
  virtual ~IGamepads() = default;
  // Picks up the pads plugged in and drops the ones pulled out since the last call, then reads
  // every pad. Returns the controls held now by any pad, as PadBit bits; a pad that is gone
  // holds nothing.
  virtual uint32_t Update() = 0;
  // Takes the next control that some pad pressed (released before, held now) as seen by
  // Update, oldest first. What a pad holds when it is picked up is not a press.
  virtual bool PollPress(PadControl& control) = 0;
};

// Windows virtual-key codes used by the program. Built for Windows, <windows.h> (which curl
// and the Windows parts include) defines the same names as macros of the same values; the
// enum's names take their place.
#if defined(_WIN32)
#undef VK_BACK
#undef VK_TAB
#undef VK_RETURN
#undef VK_SHIFT
#undef VK_CONTROL
#undef VK_MENU
#undef VK_PAUSE
#undef VK_ESCAPE
#undef VK_SPACE
#undef VK_PRIOR
#undef VK_NEXT
#undef VK_END
#undef VK_HOME
#undef VK_LEFT
#undef VK_UP
#undef VK_RIGHT
#undef VK_DOWN
#undef VK_INSERT
#undef VK_DELETE
#undef VK_F1
#undef VK_F12
#endif
enum VirtualKey : int32_t {
  VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
  VK_MENU = 0x12, VK_PAUSE = 0x13, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21,
  VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27,
  VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F1 = 0x70, VK_F12 = 0x7B,
};

// Shift-state bits that come with a key or mouse event.
enum ShiftState : uint8_t { kShift = 1, kAlt = 2, kCtrl = 4, kLeftButton = 8, kRightButton = 16 };

struct WindowEvent {
  enum Kind {
    // vk, shift; text holds what the key typed (UTF-8; empty for keys that type nothing).
    // Key repeat sends KeyDown again. The modifier keys come as VK_SHIFT, VK_CONTROL and
    // VK_MENU. Text typed without a key of its own (an input method) is a KeyDown with vk 0.
    KeyDown,
    MouseMove,       // x, y in client coordinates, shift
    MouseDown,       // x, y, button (0 left, 1 right, 2 middle, 3 and 4 side), shift
    FocusGained,
    FocusLost,
    Minimized,
    Restored,
    Moved,
    CloseRequested,  // the window's close button or the window manager
    MaximizeRequested,
    TitleDoubleClick,  // not seen under X11: window managers make it a maximise request
    // Full screen was left without the program asking (in a page: the browser's own full
    // screen, which the player leaves with Esc): the program is windowed from now on.
    FullScreenLeft,
    Quit,            // SIGINT/SIGTERM: end at once, as a killed process would (sent once)
  };
  Kind kind = KeyDown;
  int32_t vk = 0;
  uint8_t shift = 0;
  int32_t x = 0, y = 0;
  int32_t button = 0;
  std::string text;
};

class IEventQueue {
 public:
  virtual ~IEventQueue() = default;
  // Takes the next pending event, if any, without waiting.
  virtual bool Poll(WindowEvent& event) = 0;
  // Waits until an event is pending or the time-out (ms) passes.
  virtual void Wait(uint32_t timeoutMs) = 0;
};

// One voice of a sound effect: PCM data that can be played with its own pan and volume
// (hundredths of a decibel), as a DirectSound buffer could. Duplicates share the data.
class ISoundVoice {
 public:
  virtual ~ISoundVoice() = default;
  // Starts from the beginning, once or looping.
  virtual void Play(bool looped) = 0;
  virtual void Stop() = 0;
  virtual bool IsPlaying() = 0;
  virtual void SetVolume(int32_t hundredthsDb) = 0;  // -10000 (silent) .. 0 (full)
  virtual void SetPan(int32_t hundredthsDb) = 0;     // -10000 (left) .. 10000 (right)
  virtual void SetFrequency(uint32_t hz) = 0;        // 0 = the recording's own rate
  // A new voice on the same data (no copy), stopped, at full volume and centred; null on
  // failure.
  virtual std::unique_ptr<ISoundVoice> Duplicate() = 0;
};

class ISoundDevice {
 public:
  virtual ~ISoundDevice() = default;
  // False when there is no usable audio device; the game then stays silent.
  virtual bool IsOpen() = 0;
  // A new voice holding a copy of integer PCM data (8-bit unsigned or 16-bit signed
  // little-endian samples, interleaved channels); null when the device refuses the format.
  // `mixLevel` (hundredths of a decibel, -10000 .. 0) is the sound's place in the mix: the
  // mixer turns the voice and its duplicates down by it, under their own volume and pan.
  virtual std::unique_ptr<ISoundVoice> CreateVoice(uint16_t channels, uint32_t samplesPerSec,
                                                   uint16_t bitsPerSample,
                                                   const std::vector<uint8_t>& pcm,
                                                   int32_t mixLevel) = 0;
};

// The tracker-module player: one module at a time, looping by itself once started.
class IMusicPlayer {
 public:
  virtual ~IMusicPlayer() = default;
  // Loads a module file; returns a handle, 0 on any failure. Nothing plays yet.
  virtual uint32_t SongLoadFromFile(const std::string& path) = 0;
  // Starts the module from its beginning; it plays and repeats on its own from then on,
  // turned down by `mixLevel` (hundredths of a decibel, -10000 .. 0), its place in the mix.
  virtual void SongPlay(uint32_t song, int32_t mixLevel) = 0;
  // Stops and releases the module; the handle is not used again.
  virtual void SongFree(uint32_t song) = 0;
};

// Opens a file or a URL with the desktop's opener. Never builds a shell command line.
class IShell {
 public:
  virtual ~IShell() = default;
  virtual bool Open(const std::string& fileOrUrl) = 0;
};

struct HttpRequest {
  std::string url;
  std::vector<std::pair<std::string, std::string>> headers;
  uint32_t timeoutMs = 10000;
  uint32_t connectTimeoutMs = 5000;
  // Called again and again while the request waits for the network, about once per clock
  // tick, so that the caller can keep its window alive. Empty: nothing is called.
  std::function<void()> whileWaiting;
};

struct HttpResponse {
  bool ok = false;  // false: no reply (refused, time-out, bad status)
  std::string body;
  std::string error;
};

// Blocking HTTP requests.
class IHttpClient {
 public:
  virtual ~IHttpClient() = default;
  virtual HttpResponse Get(const HttpRequest& request) = 0;
  // Sends `body` (application/octet-stream unless the request's headers name a Content-Type)
  // and waits for the reply as Get does. A client that has no way to send one says so in the
  // error.
  virtual HttpResponse Post(const HttpRequest& request, const std::string& body) {
    (void)request;
    (void)body;
    return {false, "", "this HTTP client cannot send a POST request"};
  }
};

// Finds an installed font file by family name (fontconfig on Linux).
class IFontLocator {
 public:
  virtual ~IFontLocator() = default;
  // Path of a font file of that family and weight; empty when none is installed.
  virtual std::string FindFont(const std::string& family, bool bold) = 0;
};

// Everything the program uses of the operating system. Owned by the entry point (or a test);
// the program reaches it through Services().
struct Platform {
  IClock* clock = nullptr;
  IDisplay* display = nullptr;
  IInputDevices* input = nullptr;
  IEventQueue* events = nullptr;
  ISoundDevice* sound = nullptr;
  IMusicPlayer* music = nullptr;
  IShell* shell = nullptr;
  IHttpClient* http = nullptr;
  IFontLocator* fonts = nullptr;
  IGamepads* gamepads = nullptr;  // null: no pad support
};

Platform& Services();
void SetServices(const Platform& platform);

// Turns a path written with backslashes ("Data\\Data.pp") into this platform's form.
std::string NativePath(const std::string& path);

}  // namespace platform
