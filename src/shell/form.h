// The main window: start-up, the frame loop, focus and minimise handling, the guarded close
// and shutdown. Every handler runs on the one thread of the message loop.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/surface.h"
#include "platform/platform.h"

class TForm1 {
 public:
  // Two-pass creation: the first call reads the settings (whose loader runs the display pass
  // through a nested call), sets up input and starts the menu tune; every later call is the
  // display pass alone (mode switch, restore from minimise). Throws gfx::PackError when the
  // sprite pack cannot be read.
  void FormCreate();
  // One turn of the frame loop; returns 0 (our surfaces are never lost).
  int32_t RenderFrame();
  // Presents the back buffer as it is, at most once per clock tick (a blocking wait keeps the
  // last picture on screen this way).
  void ShowFrameAgain();
  void ApplicationEvents1Activate();
  void ApplicationEvents1Deactivate();
  void ApplicationEvents1Restore();
  // Refuses while a game, the intro or the score entry is on; otherwise asks "Exit game?"
  // first and lets the close through once the player said Yes.
  void FormCloseQuery(bool& canClose);
  // Asks the window to close; the close query decides. True when the window closed.
  bool Close();
  void FormDestroy();
  // Switches between window and full screen and rebuilds the display.
  void SetDisplayMode(bool windowed);
  // Window messages: moved, maximise button, double click on the title bar.
  void WMMove();
  void WMSysCommandMaximize();
  void WMNCLButtonDblClkCaption();

  // Input handlers (keyboard, mouse) and the device set-up.
  void FormKeyDown(int32_t key, uint8_t shift);
  void FormMouseMove(uint8_t shift, int32_t x, int32_t y);
  void FormMouseDown(int32_t button, uint8_t shift, int32_t x, int32_t y);
  // A press of a game pad's control (and each repeat of a held direction): the key it stands
  // for on the current screen, without the boss key and without typing into a text box.
  void FormPadDown(platform::PadControl control);
  // Once per turn of the message loop: reads the pads, handles their presses and repeats, and
  // keeps what they hold for the game's polled keys. Does nothing before SetupInput; while the
  // window is inactive or minimised the pads' presses are dropped and nothing counts as held.
  void PollGamepads();
  void SetupInput();
  // Copies the game picture into the snapshot, shades it and shows the pause screen.
  void FreezeForPause();

  // Calls the handler that belongs to a window event.
  void DispatchEvent(const platform::WindowEvent& event);

  std::unique_ptr<gfx::TSurface> FBackBuffer;
  std::unique_ptr<gfx::TSurface> FSnapshot;
  bool FDisplay = false;   // the display has been set up
  bool FInput = false;     // the input devices have been set up
  int32_t FReady = 0;      // 0 / -1: display usable and window active
  int32_t FMouseActive = 0;  // 0 / -1: the last input came from the mouse
  uint32_t FFrameStart = 0;
  uint32_t FLastFrameEnd = 0;
  bool FClosed = false;    // the close went through; the message loop ends
  bool FMinimized = false; // the window is minimised (a restore event brings it back)
  // A frame of a still page (see IsStillPage) that would look exactly like the one the window
  // shows is neither composed nor presented. Off: every frame is drawn in full.
  bool FSkipUnchangedFrames = true;

 private:
  void SetupDisplay();
  // What a key does on the current screen (after the Alt and boss-key handling); `typing`:
  // letters and Backspace go into the screen's text box.
  void ScreenKey(int32_t key, bool typing);
  // Composes the frame in the display's canvas when it offers one, else in our own surface.
  void ChooseBackBuffer();
  // True when this frame would repeat the one the window shows.
  bool FrameUnchanged() const;
  // Notes what the frame just presented was drawn from.
  void RememberFrame(bool quiet, int32_t state);

  // What the last presented frame was drawn from. Any window event may change the page, so
  // each one (and every new back buffer) marks it touched; a page counts as settled once two
  // frames in a row, with nothing touched between them, came out the same.
  bool FPageTouched = true;
  int32_t FShownState = -1;
  std::array<uint8_t, 256> FShownKeys{};
  uint64_t FShownHash = 0;
  bool FShownSettled = false;
  // Presentation rectangles for windowed mode.
  void ComputeBlitRects();
};

extern TForm1* Form1;

// Globals of the window.
extern bool FirstCreate;
extern bool SkipDeactivate;
extern bool MayClose;
extern uint16_t DesktopWidth;
extern uint16_t DesktopHeight;
extern std::array<uint8_t, 256> KeyState;
extern platform::Rect SavedWindowRect;
extern platform::Rect BlitSourceRect;
extern platform::Rect BlitDestRect;

// Black fill of the whole back buffer; returns the fill's result.
int32_t ClearBackBuffer();
// Nothing to restore: software surfaces are never lost. Returns 0.
int32_t RestoreSurfaces();
// Asks the desktop to open a file of the data folder, if it exists.
void OpenIfExists(const char* fileName);
// Resets every global of the window to its start-up value.
void ResetFormState();
