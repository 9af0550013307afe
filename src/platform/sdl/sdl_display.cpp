#include "platform/sdl/sdl_display.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/sdl/quit_signals.h"
#include "platform/window_icon.h"

#if defined(__EMSCRIPTEN__)
#include "platform/web/web_page.h"
#endif

namespace platform {

namespace {

constexpr int kWidth = Letterbox::kFrameWidth;
constexpr int kHeight = Letterbox::kFrameHeight;

// The frame as a surface that SDL can blit from (no copy: it points at the caller's pixels).
SDL_Surface* WrapFrame(const uint32_t* pixels, int pitch) {
  return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), kWidth, kHeight, 32,
                                            pitch, SDL_PIXELFORMAT_RGB888);
}

// Black bars around the picture: the window parts the picture does not cover.
void FillBars(SDL_Surface* target, const Rect& p) {
  const Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
  const SDL_Rect bars[] = {
      {0, 0, target->w, p.top},
      {0, p.bottom, target->w, target->h - p.bottom},
      {0, p.top, p.left, p.bottom - p.top},
      {p.right, p.top, target->w - p.right, p.bottom - p.top},
  };
  for (const SDL_Rect& bar : bars) {
    if (bar.w > 0 && bar.h > 0) SDL_FillRect(target, &bar, black);
  }
}

#if !defined(__EMSCRIPTEN__)
// The program's icon on the window: window managers show it in the title bar, the task bar
// and the window switcher, whether the game runs installed or from a folder.
void SetIcon(SDL_Window* window) {
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(kWindowIcon.argb), kWindowIcon.width, kWindowIcon.height, 32,
      kWindowIcon.width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!icon) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}
#endif

}  // namespace

SdlDisplay::~SdlDisplay() {
  if (window_) SDL_DestroyWindow(window_);
}

Point SdlDisplay::ScreenSize() {
  const int index = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(index < 0 ? 0 : index, &mode) != 0) return {kWidth, kHeight};
  return {mode.w, mode.h};
}

void SdlDisplay::SetMode(bool windowed) {
  windowed_ = windowed;
  shown_ = false;
#if defined(__EMSCRIPTEN__)
  // The canvas keeps its 800 x 600 pixels in either mode: full screen is the browser's, and
  // the page scales the canvas for it. Not resizable: SDL would otherwise resize the canvas's
  // pixels to its size on the page whenever the browser window changes.
  if (!window_) {
    window_ = SDL_CreateWindow("Starmoat", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               kWidth, kHeight, 0);
    if (!window_) {
      std::fprintf(stderr, "Starmoat: cannot open the window: %s\n", SDL_GetError());
      return;
    }
  }
  SetPageFullScreen(!windowed);
  return;
#else
  if (!window_) {
    window_ = SDL_CreateWindow("Starmoat", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               kWidth, kHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!window_) {
      std::fprintf(stderr, "Starmoat: cannot open the window: %s\n", SDL_GetError());
      return;
    }
    SetIcon(window_);
    // Resizable only so that window managers offer maximise (which means full screen); a
    // maximum size would make them refuse it again. Resizes are undone in KeepClientSize.
    SDL_SetWindowMinimumSize(window_, kWidth, kHeight);
  }
  if (windowed) {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowSize(window_, kWidth, kHeight);
    const Point screen = ScreenSize();
    SDL_SetWindowPosition(window_, screen.x / 2 - kWidth / 2, screen.y / 2 - kHeight / 2);
  } else {
    // Cover the desktop ourselves first: without a window manager nobody else would resize
    // the window, while SDL would already draw at the desktop's size.
    SDL_Rect bounds;
    const int index = SDL_GetWindowDisplayIndex(window_);
    if (SDL_GetDisplayBounds(index < 0 ? 0 : index, &bounds) == 0) {
      SDL_SetWindowBordered(window_, SDL_FALSE);
      SDL_SetWindowPosition(window_, bounds.x, bounds.y);
      SDL_SetWindowSize(window_, bounds.w, bounds.h);
    }
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  }
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
#endif
}

void SdlDisplay::KeepClientSize() {
  if (!window_ || !windowed_) return;
  if (SDL_GetWindowFlags(window_) & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)) return;
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  if (w != kWidth || h != kHeight) SDL_SetWindowSize(window_, kWidth, kHeight);
}

const Letterbox& SdlDisplay::CurrentLetterbox() const {
  int w = kWidth, h = kHeight;
  if (window_) SDL_GetWindowSize(window_, &w, &h);
  return LetterboxFor(w, h);
}

const Letterbox& SdlDisplay::LetterboxFor(int32_t width, int32_t height) const {
  // Asked for several times a frame (the pointer, the frame's position): worked out once per size.
  if (!scale_ || !scale_->Fits(width, height)) scale_.emplace(width, height);
  return *scale_;
}

uint32_t* SdlDisplay::Canvas() {
  uint32_t* previous = canvas_;
  canvas_ = nullptr;
  if (!window_) return nullptr;
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (!target || target->format->format != SDL_PIXELFORMAT_RGB888 || target->w != kWidth ||
      target->h != kHeight || target->pitch != kWidth * 4 || SDL_MUSTLOCK(target)) {
    return nullptr;
  }
  canvas_ = static_cast<uint32_t*>(target->pixels);
  // A new surface holds no picture yet.
  if (canvas_ != previous) shown_ = false;
  return canvas_;
}

void SdlDisplay::Present(const uint32_t* pixels, int pitch) {
  if (!window_) return;
  if (canvas_ && pixels == canvas_) {
    shown_ = SDL_UpdateWindowSurface(window_) == 0;
    return;
  }
  // Fetching the surface may replace it (after a resize) and free the canvas's pixels.
  canvas_ = nullptr;
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (!target) return;
  if (target->format->format == SDL_PIXELFORMAT_RGB888) {
    // The window surface has the frame's pixel layout: copy (and scale) it ourselves, which is
    // much cheaper than a general blit.
    if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
    auto* dst = static_cast<uint32_t*>(target->pixels);
    if (target->w == kWidth && target->h == kHeight && target->pitch == pitch) {
      std::memcpy(dst, pixels, static_cast<size_t>(pitch) * kHeight);
    } else {
      const Letterbox& box = LetterboxFor(target->w, target->h);
      if (!shown_ || barsDrawnOn_ != target->pixels) box.DrawBars(dst, target->pitch);
      barsDrawnOn_ = target->pixels;
      box.DrawPicture(pixels, pitch, dst, target->pitch);
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  } else {
    SDL_Surface* frame = WrapFrame(pixels, pitch);
    if (!frame) return;
    const Rect p = LetterboxFor(target->w, target->h).Picture();
    SDL_Rect dest{p.left, p.top, p.right - p.left, p.bottom - p.top};
    FillBars(target, p);
    SDL_BlitScaled(frame, nullptr, target, &dest);
    SDL_FreeSurface(frame);
  }
  shown_ = SDL_UpdateWindowSurface(window_) == 0;
}

Rect SdlDisplay::WindowRect() {
  if (!window_) return {};
  int x = 0, y = 0, w = 0, h = 0, top = 0, left = 0, bottom = 0, right = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  // Without a window manager there is no frame, and SDL says so by failing.
  if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) {
    top = left = bottom = right = 0;
  }
  return {x - left, y - top, x + w + right, y + h + bottom};
}

Point SdlDisplay::ClientOrigin() {
  if (!window_) return {};
  int x = 0, y = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  const Rect p = CurrentLetterbox().Picture();
  return {x + p.left, y + p.top};
}

void SdlDisplay::MoveWindow(int32_t left, int32_t top) {
  if (!window_) return;
  const Rect outer = WindowRect();
  int x = 0, y = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_SetWindowPosition(window_, left + (x - outer.left), top + (y - outer.top));
}

void SdlDisplay::Minimize() {
#if defined(__EMSCRIPTEN__)
  // A page cannot be minimised; it blanks itself and the game pauses as if it had been.
  HidePage(window_);
#else
  if (window_) SDL_MinimizeWindow(window_);
#endif
}

void SdlDisplay::ShowCursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

void SdlDisplay::SetCursorPos(int32_t x, int32_t y) {
  if (!window_) return;
  const Point p = CurrentLetterbox().FrameToWindow({x, y});
  // Told first: some drivers queue the warp's motion event before the warp call returns.
  if (cursorWarp_) cursorWarp_(p.x, p.y);
  SDL_WarpMouseInWindow(window_, p.x, p.y);
}

void SdlDisplay::ShowError(const std::string& title, const std::string& message) {
  const QuitSignals::Blocking blocking;
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), window_);
}

}  // namespace platform
