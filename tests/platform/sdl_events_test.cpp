// The window events and the mouse device on SDL's dummy video driver, fed with pushed events.
#include "platform/sdl/sdl_events.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_input.h"

namespace {

using platform::WindowEvent;

class SdlEventsTest : public testing::Test {
 protected:
  void SetUp() override {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0) << SDL_GetError();
    platform::QuitSignals::Clear();
    display_ = std::make_unique<platform::SdlDisplay>();
    display_->SetMode(true);
    ASSERT_NE(display_->Window(), nullptr);
    input_ = std::make_unique<platform::SdlInput>();
    display_->OnCursorWarp([this](int32_t x, int32_t y) { input_->PointerWarped(x, y); });
    events_ = std::make_unique<platform::SdlEvents>(*display_);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  void TearDown() override {
    events_.reset();
    input_.reset();
    display_.reset();
    platform::QuitSignals::Clear();
    SDL_Quit();
  }

  static void PushKey(SDL_Scancode scancode, SDL_Keycode keycode, Uint16 mod) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = keycode;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
  }
  static void PushText(const char* text) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, text, sizeof e.text.text - 1);
    SDL_PushEvent(&e);
  }
  static void PushWindowEvent(Uint8 which) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = which;
    SDL_PushEvent(&e);
  }
  static void PushMotion(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
  }
  static int32_t Int32At(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);  // the test machine is little-endian, like the device format
    return v;
  }

  std::unique_ptr<platform::SdlDisplay> display_;
  std::unique_ptr<platform::SdlInput> input_;
  std::unique_ptr<platform::SdlEvents> events_;
};

TEST_F(SdlEventsTest, KeyPressCarriesItsVirtualKeyShiftStateAndText) {
  PushText("\xc3\xa9");  // typed through an input method: no key of its own
  PushKey(SDL_SCANCODE_A, SDLK_a, KMOD_LSHIFT | KMOD_NUM);
  PushText("A");
  PushKey(SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
  PushKey(SDL_SCANCODE_MUTE, SDLK_MUTE, 0);  // no virtual key: dropped

  WindowEvent e;
  ASSERT_TRUE(events_->Poll(e));
  EXPECT_EQ(e.kind, WindowEvent::KeyDown);
  EXPECT_EQ(e.vk, 0);
  EXPECT_EQ(e.text, "\xc3\xa9");
  ASSERT_TRUE(events_->Poll(e));
  EXPECT_EQ(e.kind, WindowEvent::KeyDown);
  EXPECT_EQ(e.vk, 'A');
  EXPECT_EQ(e.shift, platform::kShift);
  EXPECT_EQ(e.text, "A");
  ASSERT_TRUE(events_->Poll(e));
  EXPECT_EQ(e.vk, platform::VK_RETURN);
  EXPECT_EQ(e.shift, platform::kAlt);
  EXPECT_EQ(e.text, "");
  EXPECT_FALSE(events_->Poll(e));
}

TEST_F(SdlEventsTest, WindowEventsBecomeTheProgramsKinds) {
  const struct {
    Uint8 sdl;
    WindowEvent::Kind kind;
  } cases[] = {
      {SDL_WINDOWEVENT_FOCUS_GAINED, WindowEvent::FocusGained},
      {SDL_WINDOWEVENT_FOCUS_LOST, WindowEvent::FocusLost},
      {SDL_WINDOWEVENT_MINIMIZED, WindowEvent::Minimized},
      {SDL_WINDOWEVENT_RESTORED, WindowEvent::Restored},
      {SDL_WINDOWEVENT_MOVED, WindowEvent::Moved},
      {SDL_WINDOWEVENT_CLOSE, WindowEvent::CloseRequested},
      {SDL_WINDOWEVENT_MAXIMIZED, WindowEvent::MaximizeRequested},
  };
  for (const auto& c : cases) {
    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);  // of no interest: skipped
    PushWindowEvent(c.sdl);
    WindowEvent e;
    ASSERT_TRUE(events_->Poll(e)) << int(c.sdl);
    EXPECT_EQ(e.kind, c.kind) << int(c.sdl);
  }
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  WindowEvent e;
  ASSERT_TRUE(events_->Poll(e));
  EXPECT_EQ(e.kind, WindowEvent::CloseRequested);
}

TEST_F(SdlEventsTest, MaximiseInFullScreenIsNotARequest) {
  display_->SetMode(false);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  PushWindowEvent(SDL_WINDOWEVENT_MAXIMIZED);
  WindowEvent e;
  EXPECT_FALSE(events_->Poll(e));
}

TEST_F(SdlEventsTest, WindowedWindowOffersMaximiseButKeepsItsClientSize) {
  // A window manager offers maximise only on a resizable window; a resize it makes is undone.
  SDL_Window* window = display_->Window();
  EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE);
  int w = 0, h = 0;
  SDL_GetWindowMaximumSize(window, &w, &h);
  EXPECT_EQ(w, 0) << "a maximum size makes window managers refuse to maximise";
  SDL_SetWindowSize(window, 1000, 700);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  PushWindowEvent(SDL_WINDOWEVENT_RESIZED);
  WindowEvent e;
  EXPECT_FALSE(events_->Poll(e));
  SDL_GetWindowSize(window, &w, &h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);

  display_->SetMode(false);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  PushWindowEvent(SDL_WINDOWEVENT_RESIZED);
  EXPECT_FALSE(events_->Poll(e));
  SDL_GetWindowSize(window, &w, &h);
  EXPECT_EQ(w, display_->ScreenSize().x) << "full screen keeps the desktop's size";
}

TEST_F(SdlEventsTest, MousePositionsAreClientCoordinatesAndButtonsAreNumbered) {
  PushMotion(123, 456);
  SDL_Event press{};
  press.type = SDL_MOUSEBUTTONDOWN;
  press.button.button = SDL_BUTTON_RIGHT;
  press.button.x = 10;
  press.button.y = 20;
  SDL_PushEvent(&press);
  WindowEvent e;
  ASSERT_TRUE(events_->Poll(e));
  EXPECT_EQ(e.kind, WindowEvent::MouseMove);
  EXPECT_EQ(e.x, 123);
  EXPECT_EQ(e.y, 456);
  ASSERT_TRUE(events_->Poll(e));
  EXPECT_EQ(e.kind, WindowEvent::MouseDown);
  EXPECT_EQ(e.button, 1);
  EXPECT_EQ(e.x, 10);
  EXPECT_EQ(e.y, 20);
}

TEST_F(SdlEventsTest, QuitSignalIsOneQuitEventAndCutsTheWaitShort) {
#if defined(_WIN32)
  GTEST_SKIP() << "Windows has no SIGTERM for a program (raising it ends the process); its quit "
                  "requests come to a console control handler";
#endif
  std::raise(SIGTERM);
  events_->Wait(60'000);  // returns at once: the quit is pending
  WindowEvent e;
  ASSERT_TRUE(events_->Poll(e));
  EXPECT_EQ(e.kind, WindowEvent::Quit);
  EXPECT_FALSE(events_->Poll(e));
}

TEST_F(SdlEventsTest, WaitKeepsTheEventItWokeUpFor) {
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  events_->Wait(60'000);
  WindowEvent e;
  ASSERT_TRUE(events_->Poll(e));
  EXPECT_EQ(e.kind, WindowEvent::FocusLost);
}

TEST_F(SdlEventsTest, MouseMotionIsCountedBetweenReadsButNotAcrossAWarp) {
  uint8_t state[20];
  input_->AcquireMouse(true);
  PushMotion(100, 100);  // the first position: a starting point, no motion yet
  PushMotion(105, 97);
  PushMotion(110, 99);
  std::memset(state, 0, sizeof state);
  input_->ReadMouse(state);
  EXPECT_EQ(Int32At(state), 10);
  EXPECT_EQ(Int32At(state + 4), -1);

  display_->SetCursorPos(200, 200);
  PushMotion(200, 200);  // the warp's own motion event
  PushMotion(203, 204);
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.y = -2;
  SDL_PushEvent(&wheel);
  std::memset(state, 0, sizeof state);
  input_->ReadMouse(state);
  EXPECT_EQ(Int32At(state), 3);
  EXPECT_EQ(Int32At(state + 4), 4);
  EXPECT_EQ(Int32At(state + 8), -240);

  std::memset(state, 0, sizeof state);
  input_->ReadMouse(state);
  EXPECT_EQ(Int32At(state), 0);
  EXPECT_EQ(Int32At(state + 4), 0);
  EXPECT_EQ(Int32At(state + 8), 0);

  input_->AcquireMouse(false);
  PushMotion(300, 300);
  std::memset(state, 0x11, sizeof state);
  input_->ReadMouse(state);
  EXPECT_EQ(state[0], 0x11) << "an unacquired mouse leaves the state alone";
}

}  // namespace
