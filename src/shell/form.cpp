#include "shell/form.h"

#include <filesystem>

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "game/game.h"
#include "game/random.h"
#include "graphics/images.h"
#include "persistence/config.h"
#include "platform/file_places.h"
#include "shell/screen_state.h"
#include "shell/pad_input.h"
#include "shell/screens.h"

TForm1* Form1 = nullptr;

bool FirstCreate = true;
bool SkipDeactivate = true;
bool MayClose = false;
uint16_t DesktopWidth = 0;
uint16_t DesktopHeight = 0;
std::array<uint8_t, 256> KeyState{};
platform::Rect SavedWindowRect;
platform::Rect BlitSourceRect;
platform::Rect BlitDestRect;

namespace {

constexpr int32_t kClientWidth = 800;
constexpr int32_t kClientHeight = 600;
// A frame is drawn only when more than this many ms passed since the last one was shown.
constexpr uint32_t kFrameGateMs = 5;

platform::Platform& Os() { return platform::Services(); }

}  // namespace

void ResetFormState() {
  FirstCreate = true;
  SkipDeactivate = true;
  MayClose = false;
  DesktopWidth = 0;
  DesktopHeight = 0;
  KeyState.fill(0);
  SavedWindowRect = {};
  BlitSourceRect = {};
  BlitDestRect = {};
}

void TForm1::FormCreate() {
  Randomize(Os().clock->TickCount());
  if (FirstCreate) {
    FirstCreate = false;
    // The window's components come first: the effects are read and the sound device opened
    // before the settings loader applies the sound switch to them.
    CreateSoundBank();
    const platform::Point screen = Os().display->ScreenSize();
    DesktopWidth = static_cast<uint16_t>(screen.x);
    DesktopHeight = static_cast<uint16_t>(screen.y);
    // The loader puts the settings into effect, which runs the display pass below.
    LoadConfig();
    SetupInput();
    if (Settings.Music) {
      PlaySong("1.xm");
    } else {
      StopMusic();
    }
    return;
  }
  FReady = 0;
  SetupDisplay();
  gfx::LoadImages();
  FReady = -1;
}

void TForm1::SetupDisplay() {
  Os().display->SetMode(Settings.Windowed);
  // Software surfaces survive a mode switch; keeping them keeps the frozen picture behind the
  // pause, name-entry and clear-table panels.
  if (!FBackBuffer) FBackBuffer = std::make_unique<gfx::TSurface>(kClientWidth, kClientHeight);
  FPageTouched = true;
  if (!FSnapshot) FSnapshot = std::make_unique<gfx::TSurface>(kClientWidth, kClientHeight);
  FDisplay = true;
  ComputeBlitRects();
}

void TForm1::ComputeBlitRects() {
  BlitSourceRect = {0, 0, kClientWidth, kClientHeight};
  const platform::Point origin = Os().display->ClientOrigin();
  BlitDestRect = {origin.x, origin.y, origin.x + kClientWidth, origin.y + kClientHeight};
}

int32_t ClearBackBuffer() { return Form1->FBackBuffer->Fill(0x000000); }

int32_t RestoreSurfaces() { return 0; }

int32_t TForm1::RenderFrame() {
  FFrameStart = Os().clock->TickCount();
  KeyState.fill(0);
  if (FInput) Os().input->ReadKeyboard(KeyState.data());
  // The pads count only while the window is active, as the keyboard does.
  if (FInput && FReady) AddPadKeys(PadHeld, KeyState.data());
  if (static_cast<uint32_t>(FFrameStart - FLastFrameEnd) <= kFrameGateMs) return 0;
  if (!FDisplay) return 0;

  MusicWatch();
  ChooseBackBuffer();
  if (FrameUnchanged()) {
    // The window already shows this picture.
    FLastFrameEnd = Os().clock->TickCount();
    return 0;
  }
  const bool quiet = !FPageTouched && ScreenState == FShownState && KeyState == FShownKeys;
  const int32_t state = ScreenState;
  FPageTouched = false;
  int32_t result = 0;
  if (ClearBackBuffer() != 0) result = RestoreSurfaces();
  DrawScreen(FBackBuffer.get());
  Os().display->Present(FBackBuffer->Pixels(), FBackBuffer->Pitch());
  RememberFrame(quiet, state);
  FLastFrameEnd = Os().clock->TickCount();
  return result;
}

void TForm1::ChooseBackBuffer() {
  uint32_t* canvas = Os().display->Canvas();
  if (canvas) {
    if (FBackBuffer->Pixels() != canvas) {
      FBackBuffer = std::make_unique<gfx::TSurface>(gfx::TSurface::View(canvas, kClientWidth, kClientHeight));
      FPageTouched = true;
    }
  } else if (FBackBuffer->IsView()) {
    FBackBuffer = std::make_unique<gfx::TSurface>(kClientWidth, kClientHeight);
    FPageTouched = true;
  }
}

bool TForm1::FrameUnchanged() const {
  return FSkipUnchangedFrames && FShownSettled && !FPageTouched && IsStillPage(ScreenState) &&
         ScreenState == FShownState && KeyState == FShownKeys && Os().display->ShowsLastFrame();
}

void TForm1::RememberFrame(bool quiet, int32_t state) {
  if (!FSkipUnchangedFrames || !IsStillPage(state)) {
    FShownSettled = false;
    FShownState = state;
    return;
  }
  const uint64_t hash = FBackBuffer->Hash();
  FShownSettled = quiet && hash == FShownHash;
  FShownHash = hash;
  FShownState = state;
  FShownKeys = KeyState;
}

void TForm1::ShowFrameAgain() {
  const uint32_t now = Os().clock->TickCount();
  if (!FDisplay || now == FLastFrameEnd) return;
  Os().display->Present(FBackBuffer->Pixels(), FBackBuffer->Pitch());
  FLastFrameEnd = now;
}

void TForm1::ApplicationEvents1Activate() {
  FReady = -1;
  FMouseActive = -1;
  if (FInput) Os().input->AcquireKeyboard(true);
  if (!Settings.Music) {
    StopMusic();
  } else if (ScreenState == ssPaused || ScreenState == ssPlaying) {
    PlaySong("2.xm");
  } else {
    PlaySong("1.xm");
  }
}

void TForm1::ApplicationEvents1Deactivate() {
  StopMusic();
  FReady = 0;
  FMouseActive = 0;
  if (FInput) Os().input->AcquireKeyboard(false);
  if (Settings.Windowed) {
    SavedWindowRect = Os().display->WindowRect();
    SkipDeactivate = true;
  } else if (SkipDeactivate) {
    SkipDeactivate = false;
  } else {
    Os().display->Minimize();
  }
}

void TForm1::ApplicationEvents1Restore() {
  FReady = 0;
  if (Settings.Windowed) {
    Os().display->MoveWindow(SavedWindowRect.left, SavedWindowRect.top);
  } else {
    FormCreate();
  }
  FReady = -1;
  if (ScreenState == ssPlaying) {
    // The frame to freeze must be drawn now, however little time passed since the last one.
    FLastFrameEnd = Os().clock->TickCount() - 10;
    RenderFrame();
    FreezeForPause();
  }
}

void TForm1::FreezeForPause() {
  FSnapshot->BltFast(0, 0, *FBackBuffer, nullptr, gfx::kBltWait);
  const gfx::TSurface* shade = gfx::SpriteImages[9].get();
  if (shade) {
    for (int32_t i = 0; i < 300; ++i) FSnapshot->BltFast(0, 2 * i, *shade, nullptr, gfx::kBltWaitSrcKey);
  }
  ScreenState = ssPaused;
}

void TForm1::FormCloseQuery(bool& canClose) {
  switch (ScreenState) {
    case ssIntro:
    case ssPlaying:
    case ssPaused:
    case ssNameEntry:
    case ssSubmitQuestion:
      canClose = false;
      return;
    default:
      canClose = MayClose;
      ScreenState = ssExitConfirm;
  }
}

bool TForm1::Close() {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (canClose) FClosed = true;
  return canClose;
}

void TForm1::FormDestroy() {
  if (FDisplay) {
    gfx::ReleaseImages();
    Game.reset();
    FBackBuffer.reset();
    FSnapshot.reset();
    FDisplay = false;
  }
  if (FInput) {
    Os().input->AcquireMouse(false);
    Os().input->AcquireKeyboard(false);
    FInput = false;
  }
  DestroySoundBank();
}

void TForm1::SetupInput() {
  Os().input->AcquireKeyboard(true);
  Os().input->AcquireMouse(true);
  FInput = true;
}

void TForm1::SetDisplayMode(bool windowed) {
  Settings.Windowed = windowed;
  FormCreate();
}

void TForm1::WMMove() { ComputeBlitRects(); }

void TForm1::WMSysCommandMaximize() { SetDisplayMode(false); }

void TForm1::WMNCLButtonDblClkCaption() { SetDisplayMode(false); }

void TForm1::DispatchEvent(const platform::WindowEvent& e) {
  using K = platform::WindowEvent::Kind;
  FPageTouched = true;
  switch (e.kind) {
    case K::KeyDown:
      // Text from an input method comes with code 0, which names no key: a boss key or a
      // capture must never see it.
      if (e.vk != 0) FormKeyDown(e.vk, e.shift);
      break;
    case K::MouseMove: FormMouseMove(e.shift, e.x, e.y); break;
    case K::MouseDown: FormMouseDown(e.button, e.shift, e.x, e.y); break;
    case K::FocusGained: ApplicationEvents1Activate(); break;
    case K::FocusLost: ApplicationEvents1Deactivate(); break;
    case K::Minimized: FMinimized = true; break;
    case K::Restored:
      // Un-maximising also reports a restore; only a return from minimise counts.
      if (FMinimized) {
        FMinimized = false;
        ApplicationEvents1Restore();
      }
      break;
    case K::Moved: WMMove(); break;
    case K::CloseRequested: Close(); break;
    case K::MaximizeRequested: WMSysCommandMaximize(); break;
    case K::TitleDoubleClick: WMNCLButtonDblClkCaption(); break;
    case K::FullScreenLeft:
      if (!Settings.Windowed) SetDisplayMode(true);
      break;
    case K::Quit: break;  // handled by the message loop
  }
}

void OpenIfExists(const char* fileName) {
  const std::string path = platform::DataPath(fileName);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  if (auto* shell = Os().shell) shell->Open(path);
}
