#include "shell/input.h"

#include "game/game.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/game_session.h"
#include "shell/key_name.h"
#include "shell/menu_commands.h"
#include "shell/pad_input.h"
#include "shell/screen_state.h"

int32_t MouseX = 0;
int32_t MouseY = 0;

void ResetInputState() {
  MouseX = 0;
  MouseY = 0;
}

namespace {

using namespace platform;

// The keyboard is released around an Alt press so that the Alt state the system keeps does not
// leak into the game's polled keys; no frame is drawn meanwhile.
constexpr uint32_t kAltWaitMs = 150;
constexpr int32_t kKeyN = 'N';
constexpr int32_t kKeyP = 'P';
constexpr int32_t kKeyY = 'Y';
constexpr char kDeleteCode = '~';

Platform& Os() { return Services(); }

bool IsLetter(int32_t key) { return key >= 'A' && key <= 'Z'; }
bool IsConfirm(int32_t key) { return key == VK_RETURN || key == VK_SPACE; }

void Confirm(TDDBtnCollection& buttons) {
  buttons.Triggered = true;
  MenuCommand();
}

void Confirm(TDDTextBtnCollection& answers) {
  answers.Triggered = true;
  MenuCommand();
}

// Up/Left and Down/Right move through a column of buttons; Enter and Space press the current one.
bool ColumnKeys(TDDBtnCollection& buttons, int32_t key) {
  if (key == VK_UP || key == VK_LEFT) {
    buttons.Prev();
  } else if (key == VK_DOWN || key == VK_RIGHT) {
    buttons.Next();
  } else if (IsConfirm(key)) {
    Confirm(buttons);
  } else {
    return false;
  }
  return true;
}

// Left and Right choose between the two answers; Enter and Space (and Y where allowed) press
// the current one.
bool AnswerKeys(TDDTextBtnCollection& answers, int32_t key, bool yesKey) {
  if (key == VK_LEFT) {
    answers.SetFirstSelected(true);
  } else if (key == VK_RIGHT) {
    answers.SetFirstSelected(false);
  } else if (IsConfirm(key) || (yesKey && key == kKeyY)) {
    Confirm(answers);
  } else {
    return false;
  }
  return true;
}

void TypeInto(TDDEdit& box, int32_t key) {
  if (IsLetter(key)) {
    box.InputChar(static_cast<char>(key));
  } else if (key == VK_BACK) {
    box.InputChar(kDeleteCode);
  }
}

void ShowCursor(bool visible) { Os().display->ShowCursor(visible); }

void OptionsKeys(int32_t key, bool typing) {
  TDDOptBtnCollection& rows = *OptionRows;
  if (key == VK_DOWN) {
    rows.Next();
  } else if (key == VK_UP) {
    rows.Prev();
  } else if (key == VK_LEFT || key == VK_RIGHT) {
    // Left and Right change the option of the current row, as choosing it would; the rows that
    // are not a two-way switch ignore them.
    if (rows.ItemIndex >= 0 && rows.ItemIndex <= 2) rows.Choose();
  } else if (IsConfirm(key)) {
    rows.Choose();
  } else if (key == VK_ESCAPE) {
    rows.ItemIndex = 5;
    rows.Triggered = true;
    MenuCommand();
  } else if (typing) {
    TypeInto(*CountryEdit, key);
  }
}

}  // namespace

void TForm1::FormKeyDown(int32_t key, uint8_t shift) {
  if (shift & kAlt) {
    if (FInput) Os().input->AcquireKeyboard(false);
    Os().clock->Sleep(kAltWaitMs);
    if (key == VK_RETURN) SetDisplayMode(!Settings.Windowed);
    Os().clock->Sleep(kAltWaitMs);
    if (FInput) Os().input->AcquireKeyboard(true);
    return;
  }
  FMouseActive = 0;
  // The boss key wins over every screen's own use of the key, also while a name is typed.
  if (key == Settings.BossKey) {
    Os().display->Minimize();
    return;
  }
  ScreenKey(key, true);
}

void TForm1::FormPadDown(platform::PadControl control) {
  // Pad presses come by polling, not as window events: the page may change.
  FPageTouched = true;
  FMouseActive = 0;
  // The boss-key page waits for a key of the keyboard (a pad button never becomes the boss
  // key); East leaves it with the key unchanged, so that a player with only a pad is not stuck.
  if (ScreenState == ssBossKeyCapture) {
    if (control == kPadEast) ScreenState = ssOptions;
    return;
  }
  const int32_t key = PadKey(control, ScreenState);
  if (key != 0) ScreenKey(key, false);
}

void TForm1::ScreenKey(int32_t key, bool typing) {
  switch (ScreenState) {
    case ssMainMenu:
      if (!ColumnKeys(*MainMenuButtons, key) && key == VK_ESCAPE) Close();
      break;
    case ssPlaying:
      if (Watching()) {
        // A replay is watched, not played: Esc ends it, the pause key pauses it.
        if (key == VK_ESCAPE) StopWatching();
        if (key == kKeyP) FreezeForPause();
      } else if (key == kKeyP) {
        FreezeForPause();
      } else if (key == VK_ESCAPE && Game && Game->Status == gsPlaying) {
        ScreenState = ssQuitGameConfirm;
        ShowCursor(true);
        FSnapshot->BltFast(0, 0, *FBackBuffer, nullptr, gfx::kBltWait);
      }
      break;
    case ssPaused:
      if (key == kKeyP || key == VK_ESCAPE) ScreenState = ssPlaying;
      break;
    case ssOptions: OptionsKeys(key, typing); break;
    case ssBossKeyCapture:
      if (KeyName(key) != "Bad") {
        Settings.BossKey = key;
        ScreenState = ssOptions;
      }
      break;
    case ssHighScores:
    case ssHelpOverview:
    case ssHelpBonuses:
    case ssHelpControls:
    case ssHelpAbout: {
      TDDBtnCollection& buttons = ScreenState == ssHighScores ? *HighScoreButtons : *HelpButtons;
      if (!ColumnKeys(buttons, key) && key == VK_ESCAPE) ScreenState = ssMainMenu;
      break;
    }
    case ssExitConfirm:
    case ssSubmitQuestion:
    case ssConnectFailed:
      if (!AnswerKeys(*YesNoButtons, key, true) && (key == VK_ESCAPE || key == kKeyN)) {
        ScreenState = ssMainMenu;
      }
      break;
    case ssClearScoresConfirm:
      if (!AnswerKeys(*OkCancelButtons, key, false) && key == VK_ESCAPE) {
        ScreenState = ssHighScores;
      }
      break;
    case ssNameEntry:
      if (!AnswerKeys(*OkCancelButtons, key, false)) {
        if (key == VK_ESCAPE) {
          ScreenState = ssMainMenu;
        } else if (typing) {
          TypeInto(*NameEdit, key);
        }
      }
      break;
    case ssQuitGameConfirm:
      if (!AnswerKeys(*YesNoButtons, key, true) && (key == VK_ESCAPE || key == kKeyN)) {
        ScreenState = ssPlaying;
        ShowCursor(false);
      }
      break;
    default: break;  // the intro and the sending screen take no keys
  }
}

void TForm1::FormMouseMove(uint8_t, int32_t x, int32_t y) {
  FMouseActive = -1;
  if (!FReady) return;
  if (OptionRows) OptionRows->MouseMoved = true;
  MouseX = x;
  MouseY = y;
}

void TForm1::FormMouseDown(int32_t, uint8_t, int32_t, int32_t) {
  // In the game the buttons fire; the game polls the mouse itself.
  if (ScreenState == ssPlaying) return;
  // Every widget tests the last known pointer position; the command acts only on the widget
  // of the current screen.
  if (MainMenuButtons) MainMenuButtons->UpdateTriggered();
  if (HighScoreButtons) HighScoreButtons->UpdateTriggered();
  if (HelpButtons) HelpButtons->UpdateTriggered();
  if (OptionRows) OptionRows->UpdateTriggered();
  if (YesNoButtons) YesNoButtons->UpdateTriggered();
  if (OkCancelButtons) OkCancelButtons->UpdateTriggered();
  MenuCommand();
}
