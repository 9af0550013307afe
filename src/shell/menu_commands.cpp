#include "shell/menu_commands.h"

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "game/game.h"
#include "game/random.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "persistence/hiscores.h"
#include "persistence/score_submission.h"
#include "platform/platform.h"
#include "shell/form.h"
#include "shell/game_session.h"
#include "shell/program.h"
#include "shell/screen_state.h"

namespace {

platform::Platform& Os() { return platform::Services(); }

// Main menu items.
enum { kPlay, kOptions, kHighScores, kHelp, kMoreGames, kExit };
// Options rows.
enum { kDisplayRow, kMusicRow, kSoundRow, kCountryRow, kBossKeyRow, kBackRow };
// High-score page and help page buttons.
enum { kClearTable, kWorldTable, kScoresBack };
enum { kPrevPage, kNextPage, kHelpBack };

// Each command returns whether it was carried out with the click.
bool MainMenuCommand() {
  if (!MainMenuButtons->Triggered) return false;
  switch (MainMenuButtons->ItemIndex) {
    case kPlay:
      if (Settings.Music) PlaySong("2.xm");
      ScreenState = ssPlaying;
      // The game kept after the last game over goes before the new one is made.
      Game.reset();
      StartGame(RandomSeed());
      return false;
    case kOptions: ScreenState = ssOptions; return true;
    case kHighScores: ScreenState = ssHighScores; return true;
    case kHelp: ScreenState = ssHelpOverview; return true;
    case kMoreGames: OpenIfExists("ventaro.url"); return true;
    case kExit: ScreenState = ssExitConfirm; return true;
    default: return false;
  }
}

// Every click on the options page sounds, on a row or not.
bool OptionsCommand() {
  if (!OptionRows->Triggered) return true;
  switch (OptionRows->ItemIndex) {
    case kDisplayRow: Form1->SetDisplayMode(!Settings.Windowed); break;
    case kMusicRow:
      Settings.Music = !Settings.Music;
      if (Settings.Music) {
        PlaySong("1.xm");
      } else {
        StopMusic();
      }
      break;
    case kSoundRow: SetSound(!Settings.Sound); break;
    case kCountryRow: CountryEdit->Editing = !CountryEdit->Editing; break;
    case kBossKeyRow: ScreenState = ssBossKeyCapture; break;
    case kBackRow: ScreenState = ssMainMenu; break;
    default: break;
  }
  return true;
}

bool HighScoresCommand() {
  if (!HighScoreButtons->Triggered) return false;
  switch (HighScoreButtons->ItemIndex) {
    case kClearTable:
      Form1->FSnapshot->BltFast(0, 0, *Form1->FBackBuffer, nullptr, gfx::kBltWait);
      ScreenState = ssClearScoresConfirm;
      return true;
    case kWorldTable: OpenURL(WorldTableUrl()); return true;
    case kScoresBack: ScreenState = ssMainMenu; return true;
    default: return false;
  }
}

// The first page has no previous page and the last no next one: those buttons stay silent.
bool HelpCommand() {
  if (!HelpButtons->Triggered) return false;
  struct Neighbours {
    int32_t page, prev, next;
  };
  constexpr Neighbours kPages[] = {
      {ssHelpOverview, -1, ssHelpBonuses},
      {ssHelpBonuses, ssHelpOverview, ssHelpControls},
      {ssHelpControls, ssHelpBonuses, ssHelpAbout},
      {ssHelpAbout, ssHelpControls, -1},
  };
  for (const Neighbours& p : kPages) {
    if (p.page != ScreenState) continue;
    int32_t target = -1;
    switch (HelpButtons->ItemIndex) {
      case kPrevPage: target = p.prev; break;
      case kNextPage: target = p.next; break;
      case kHelpBack: target = ssMainMenu; break;
      default: break;
    }
    if (target < 0) return false;
    ScreenState = target;
    return true;
  }
  return false;
}

bool ExitCommand() {
  if (!YesNoButtons->Triggered) return false;
  if (YesNoButtons->FirstSelected) {
    MayClose = true;
    Form1->Close();
    SaveConfig();
  } else {
    ScreenState = ssMainMenu;
    MayClose = false;
  }
  return true;
}

bool ClearScoresCommand() {
  if (!OkCancelButtons->Triggered) return false;
  if (OkCancelButtons->FirstSelected) ResetHiScores();
  ScreenState = ssHighScores;
  return true;
}

int32_t FinishedGameScore() { return Game ? Game->Score : 0; }

bool NameEntryCommand() {
  if (!OkCancelButtons->Triggered) return false;
  if (OkCancelButtons->FirstSelected) {
    InsertHiScore(NameEdit->Text(), FinishedGameScore());
    KeepTopTenReplay(NameEdit->Text());
    ScreenState = ssSubmitQuestion;
  } else {
    ScreenState = ssMainMenu;
  }
  return true;
}

// The submission blocks the message loop, so "Please wait..." is drawn and shown first, and
// shown again on every tick while the requests wait; a No shows it for one frame too.
bool SendingCommand() {
  if (!YesNoButtons->Triggered) return false;
  ScreenState = ssSending;
  Form1->FLastFrameEnd = Os().clock->TickCount() - 10;
  Form1->RenderFrame();
  if (YesNoButtons->FirstSelected) {
    SubmitScore(NameEdit->Text(), FinishedGameScore(), KeepWindowAlive,
                FinishedGameReplay(NameEdit->Text()));
  } else {
    ScreenState = ssHighScores;
  }
  return true;
}

bool QuitGameCommand() {
  if (!YesNoButtons->Triggered) return false;
  if (YesNoButtons->FirstSelected) QuitGame();
  ScreenState = ssPlaying;
  Os().display->ShowCursor(false);
  return false;
}

}  // namespace

void MenuCommand() {
  bool click = false;
  switch (ScreenState) {
    case ssIntro: ScreenState = ssMainMenu; break;
    case ssMainMenu: click = MainMenuCommand(); break;
    case ssOptions: click = OptionsCommand(); break;
    case ssHighScores: click = HighScoresCommand(); break;
    case ssHelpOverview:
    case ssHelpBonuses:
    case ssHelpControls:
    case ssHelpAbout: click = HelpCommand(); break;
    case ssExitConfirm: click = ExitCommand(); break;
    case ssClearScoresConfirm: click = ClearScoresCommand(); break;
    case ssNameEntry: click = NameEntryCommand(); break;
    case ssSubmitQuestion:
    case ssConnectFailed: click = SendingCommand(); break;
    case ssQuitGameConfirm: click = QuitGameCommand(); break;
    default: break;
  }
  if (click) Click();
}

void SetSound(bool on) {
  Settings.Sound = on;
  // The direct plays do not look at the option; the volume keeps them quiet.
  for (TWaveCollectionItem& item : DXWaveList1.Items) item.SetVolume(on ? 0 : -10000);
}

void OpenURL(const std::string& url) {
  if (auto* shell = Os().shell) shell->Open(url);
}

void Click() { PlayEffectDirect(sfxMenuClick); }
