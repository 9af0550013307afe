#include "shell/game_session.h"

#include <ctime>
#include <utility>

#include "audio/music.h"
#include "game/frame_input.h"
#include "game/game.h"
#include "graphics/surface.h"
#include "persistence/config.h"
#include "persistence/hiscores.h"
#include "persistence/replay_store.h"
#include "replay/fingerprint.h"
#include "platform/platform.h"
#include "shell/form.h"
#include "shell/screen_state.h"

namespace {

platform::Platform& Os() { return platform::Services(); }

// The game being played (or the last one played) as a replay, frame by frame.
TReplay Recording;
bool Recorded = false;  // Recording belongs to a game started by StartGame
bool QuitPending = false;

TReplay Watched;
size_t WatchedFrame = 0;
bool WatchingNow = false;
FrameObserver Observer = nullptr;

void Observe(const gfx::TSurface* back) {
  if (Observer && back) Observer(Game->Frames, *back);
}

TFrameInput InputFromDevices() {
  uint8_t mouse[20] = {};
  if (Os().input) Os().input->ReadMouse(mouse);
  if (Form1 && Form1->FMouseActive) {
    // Keep the pointer away from the window edges so that relative motion never stops.
    const platform::Rect window = Os().display->WindowRect();
    const platform::Point client = Os().display->ClientOrigin();
    Os().display->SetCursorPos(window.left + 200 - client.x, window.top + 200 - client.y);
  }
  TFrameInput input{Os().clock->TickCount(), ControlsFromDevices(KeyState, mouse)};
  if (QuitPending) input.Controls |= kCtlQuit;
  QuitPending = false;
  return input;
}

void BackToMenu() {
  ScreenState = ssMainMenu;
  Os().display->ShowCursor(true);
  if (Settings.Music) PlaySong("1.xm");
}

void FinishPlayed(gfx::TSurface* back) {
  ScreenState = ssMainMenu;
  Os().display->ShowCursor(true);
  if (ScoreQualifies(Game->Score)) {
    if (Form1 && Form1->FSnapshot && back) Form1->FSnapshot->BltFast(0, 0, *back, nullptr, gfx::kBltWait);
    ScreenState = ssNameEntry;
  }
  if (Settings.Music) PlaySong("1.xm");
  if (Recorded) {
    Recording.Score = Game->Score;
    Recording.Fingerprint = GameFingerprint(*Game);
    SaveReplay(kLastReplayName, EncodeReplay(Recording));
  }
}

}  // namespace

void StartGame(uint32_t seed) {
  Os().display->ShowCursor(false);
  QuitPending = false;
  Recording = {};
  Recording.GameVersion = ReplayGameVersion();
  Recording.Seed = seed;
  Recording.StartTick = Os().clock->TickCount();
  Recording.StartTime = static_cast<int64_t>(std::time(nullptr));
  Recorded = true;
  Game = std::make_unique<TGame>(Recording.Seed, Recording.StartTick);
}

void StepGame(gfx::TSurface* back) {
  if (!Game) return;
  if (WatchingNow) {
    if (WatchedFrame >= Watched.Frames.size() || Game->Finished) {
      StopWatching();
      return;
    }
    Game->Update(Watched.Frames[WatchedFrame++], back);
    Observe(back);
    if (Game->Finished) StopWatching();
    return;
  }
  const TFrameInput input = InputFromDevices();
  if (Recorded && Recording.Frames.size() < kMaxReplayFrames) Recording.Frames.push_back(input);
  Game->Update(input, back);
  if (Recorded && Game->Frames % kFingerprintInterval == 0) {
    Recording.Checks.push_back(static_cast<uint32_t>(GameFingerprint(*Game)));
  }
  Observe(back);
  if (Game->Finished) FinishPlayed(back);
}

void QuitGame() {
  if (!Game) return;
  Game->Status = gsGameOver;
  QuitPending = true;
}

void KeepTopTenReplay(const std::string& name) {
  if (!Recorded || !Game || Recording.Frames.empty()) return;
  Recording.Name = name;
  SaveReplay(TopTenReplayName(static_cast<std::time_t>(Recording.StartTime), Recording.Score),
             EncodeReplay(Recording));
}

std::string FinishedGameReplay(const std::string& name) {
  if (!Recorded || !Game || !Game->Finished || Recording.Frames.empty()) return {};
  TReplay named = Recording;
  named.Name = name;
  return EncodeReplay(named);
}

void StartWatching(TReplay replay) {
  Watched = std::move(replay);
  WatchedFrame = 0;
  WatchingNow = true;
  Recorded = false;
  Recording = {};
  QuitPending = false;
  ScreenState = ssPlaying;
  Os().display->ShowCursor(false);
  if (Settings.Music) PlaySong("2.xm");
  Game = std::make_unique<TGame>(Watched.Seed, Watched.StartTick);
}

bool Watching() { return WatchingNow; }

void StopWatching() {
  WatchingNow = false;
  Watched = {};
  WatchedFrame = 0;
  Game.reset();
  BackToMenu();
}

void SetFrameObserver(FrameObserver observer) { Observer = observer; }

const TReplay& CurrentRecording() { return Recording; }

void ResetGameSession() {
  Recording = {};
  Recorded = false;
  QuitPending = false;
  Watched = {};
  WatchedFrame = 0;
  WatchingNow = false;
}
