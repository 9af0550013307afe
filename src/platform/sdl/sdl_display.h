// The one window "Starmoat" and the presentation of frames in it, through SDL's window surface
// (software copies; no renderer, which would emulate OpenGL on the CPU here).
#pragma once

#include <functional>
#include <optional>

#include "platform/platform.h"
#include "platform/sdl/letterbox.h"

struct SDL_Window;

namespace platform {

class SdlDisplay : public IDisplay {
 public:
  SdlDisplay() = default;
  ~SdlDisplay() override;
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;

  Point ScreenSize() override;
  // The window is created by the first call. Windowed: bordered, client area 800 x 600,
  // centred, with a maximise button. Full screen: a borderless window over the desktop at its own resolution.
  void SetMode(bool windowed) override;
  void Present(const uint32_t* pixels, int pitch) override;
  // Windowed (and on an 800 x 600 desktop) the window surface itself, when it holds XRGB.
  uint32_t* Canvas() override;
  bool ShowsLastFrame() override { return shown_; }
  // Told by the event queue about every window event: the window system may have dropped
  // the picture (expose, resize, show), so the next frame is drawn and presented in full.
  void PictureMayBeLost() { shown_ = false; }
  Rect WindowRect() override;
  Point ClientOrigin() override;
  // left, top: where the window's outer rectangle (frame included) should start.
  void MoveWindow(int32_t left, int32_t top) override;
  void Minimize() override;
  void ShowCursor(bool visible) override;
  // x, y in frame coordinates; in full screen they go through the letterbox scale.
  void SetCursorPos(int32_t x, int32_t y) override;
  // A message box over the window (or alone); with no display at all it does nothing, so
  // callers print the message themselves as well.
  void ShowError(const std::string& title, const std::string& message) override;

  // Called when the window's size changed: in windowed mode the client area stays 800 x 600,
  // whatever the user dragged (the window is resizable only so that it can be maximised).
  void KeepClientSize();

  // For the event queue and the input devices.
  SDL_Window* Window() const { return window_; }
  bool Windowed() const { return windowed_; }
  // The mapping between window pixels and frame pixels for the window's current size.
  const Letterbox& CurrentLetterbox() const;
  // Called with the window pixel SetCursorPos is about to move the pointer to (the mouse
  // device must not count the jump as motion).
  void OnCursorWarp(std::function<void(int32_t, int32_t)> callback) {
    cursorWarp_ = std::move(callback);
  }

 private:
  SDL_Window* window_ = nullptr;
  bool windowed_ = true;
  // The window surface's pixels handed out by the last Canvas call. SDL frees them only in
  // SDL_GetWindowSurface after a resize, which happens in Canvas or in a copying Present, so
  // they outlive every frame composed in them.
  uint32_t* canvas_ = nullptr;
  bool shown_ = false;
  // The scale for the window surface's size, kept from frame to frame, and the surface whose
  // bars are already black (they stay so while the picture is not lost).
  const Letterbox& LetterboxFor(int32_t width, int32_t height) const;
  mutable std::optional<Letterbox> scale_;
  const void* barsDrawnOn_ = nullptr;
  std::function<void(int32_t, int32_t)> cursorWarp_;
};

}  // namespace platform
