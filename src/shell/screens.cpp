#include "shell/screens.h"

#include "game/game.h"
#include "graphics/draw.h"
#include "graphics/images.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "persistence/hiscores.h"
#include "shell/form.h"
#include "shell/game_session.h"
#include "shell/help_pages.h"
#include "shell/key_name.h"
#include "shell/screen_state.h"

int32_t ScreenState = ssIntro;
uint32_t AnimCounter = 0;

namespace {

constexpr bool kKeyed = true;
constexpr bool kOpaque = false;

// The logo is 250 pixels wide and slides in from the left, 3 pixels a frame.
constexpr int32_t kLogoWidth = 250;
constexpr int32_t kLogoHeight = 138;
constexpr uint32_t kIntroStep = 3;
constexpr uint32_t kIntroHighlightEvery = 14;

// A failed first copy of a screen means the surfaces were lost.
void CopyOrRestore(gfx::TSurface* back, int slot, int32_t x, int32_t y, bool keyed) {
  if (CopyScreenImage(back, slot, x, y, keyed) != 0) RestoreSurfaces();
}

void DrawIntro(gfx::TSurface* back) {
  CopyScreenImage(back, 0, 0, 0, kOpaque);
  gfx::DrawSprite(gfx::ScreenImages[29].get(), back, {0, 0, kLogoWidth, kLogoHeight},
                  static_cast<int16_t>(static_cast<int32_t>(AnimCounter) - kLogoWidth), 0);
  CopyScreenImage(back, 31, 461, 327, kKeyed);
  if (AnimCounter >= static_cast<uint32_t>(kLogoWidth)) {
    ScreenState = ssMainMenu;
    AnimCounter = 0;
  }
  AnimCounter += kIntroStep;
  // The highlight walks down the menu while the logo travels: five steps, ending on the last
  // item when the logo has arrived.
  if (AnimCounter % kIntroHighlightEvery == 0 && AnimCounter < static_cast<uint32_t>(kLogoWidth)) {
    MainMenuButtons->Next();
  }
  MainMenuButtons->Draw(back);
}

void DrawMainMenu(gfx::TSurface* back) {
  CopyOrRestore(back, 0, 0, 0, kOpaque);
  CopyScreenImage(back, 29, 0, 0, kKeyed);
  CopyScreenImage(back, 31, 461, 327, kKeyed);
  MainMenuButtons->Draw(back);
}

void Text18(gfx::TSurface* back, int32_t x, int32_t y, int32_t width, const std::string& text) {
  gfx::DrawTextLeft(x, y, 18, width, text, back, kGreen);
}

// An option value: in the entry face, like the typed country, so that it sits inside its box
// (the display face's letters would rest on the box's lower edge).
void Value18(gfx::TSurface* back, int32_t x, int32_t y, int32_t width, const std::string& text) {
  gfx::DrawTextFace(gfx::Face::Entry, x, y, 18, width, text, back, kGreen, 0);
}

// The options page; while a new boss key is awaited the boss key row keeps its highlighted
// look, the other rows show no highlight and the value reads "...".
void DrawOptions(gfx::TSurface* back, bool capture) {
  DrawMenuHeader(back);
  gfx::DrawLabel(420, 25, 28, 18, "Options", back, kGreen);
  Text18(back, 120, 238, 12, "Display");
  Text18(back, 120, 299, 12, "Music");
  Text18(back, 120, 359, 12, "Sound");
  Text18(back, 120, 425, 12, "Your country");
  Text18(back, 120, 485, 12, "Boss key");

  CopyScreenImage(back, 17, 300, capture ? 231 : 230, kKeyed);
  CopyScreenImage(back, 18, 327, 292, kKeyed);
  CopyScreenImage(back, 18, 327, 352, kKeyed);
  if (capture) {
    CopyScreenImage(back, 38, 305, 473, kKeyed);
  } else {
    CopyScreenImage(back, 9, 309, 477, kKeyed);
  }
  CopyScreenImage(back, 34, 621, 540, kKeyed);

  if (capture) {
    CountryEdit->Draw(back);
  } else {
    OptionRows->Draw(back);
  }

  if (Settings.Windowed) {
    Value18(back, 320, 238, 14, "Window");
  } else {
    Value18(back, 310, 238, 10, "FullScreen");
  }
  const auto onOff = [&](int32_t y, bool on) {
    if (on) {
      Value18(back, 344, y, 14, "On");
    } else {
      Value18(back, 344, y, 10, "Off");
    }
  };
  onOff(298, Settings.Music);
  onOff(358, Settings.Sound);
  if (capture) {
    Value18(back, 384, 488, 14, "...");
  } else {
    Value18(back, 364, 488, 14, KeyName(Settings.BossKey));
  }
}

void DrawHighScorePage(gfx::TSurface* back) {
  CopyOrRestore(back, 0, 0, 0, kOpaque);
  for (int32_t i = 0; i <= 10; ++i) CopyScreenImage(back, 10, 250, 120 + 36 * i, kOpaque);
  CopyScreenImage(back, 29, 0, 0, kKeyed);
  CopyScreenImage(back, 30, 388, 0, kKeyed);
  gfx::DrawLabel(420, 25, 28, 18, "High Score", back, kGreen);
  CopyScreenImage(back, 32, 50, 140, kKeyed);
  CopyScreenImage(back, 33, 50, 210, kKeyed);
  CopyScreenImage(back, 34, 121, 460, kOpaque);
  HighScoreButtons->Draw(back);
  DrawHiScores(back);
}

void DrawSnapshot(gfx::TSurface* back) {
  back->BltFast(0, 0, *Form1->FSnapshot, nullptr, gfx::kBltWait);
}

void DrawSnapshotOrRestore(gfx::TSurface* back) {
  if (back->BltFast(0, 0, *Form1->FSnapshot, nullptr, gfx::kBltWait) != 0) RestoreSurfaces();
}

void Question(gfx::TSurface* back, int32_t x, int32_t y, int32_t height, int32_t width,
              const std::string& text, uint32_t rgb = kDarkGreen) {
  gfx::DrawLabel(x, y, height, width, text, back, rgb);
}

void DrawExitConfirm(gfx::TSurface* back) {
  CopyOrRestore(back, 0, 0, 0, kOpaque);
  CopyScreenImage(back, 19, 190, 200, kOpaque);
  CopyScreenImage(back, 29, 0, 0, kKeyed);
  Question(back, 300, 260, 46, 20, "Exit game?");
  YesNoButtons->Draw(back);
}

void DrawClearScoresConfirm(gfx::TSurface* back) {
  DrawSnapshot(back);
  CopyScreenImage(back, 19, 210, 200, kOpaque);
  CopyScreenImage(back, 29, 0, 0, kKeyed);
  Question(back, 260, 250, 26, 14, "Do you want to clear");
  Question(back, 260, 278, 26, 14, "the High Score Table?");
  OkCancelButtons->Draw(back);
}

void DrawPaused(gfx::TSurface* back) {
  DrawSnapshotOrRestore(back);
  Question(back, 350, 300, 32, 20, "Pause");
}

void DrawNameEntry(gfx::TSurface* back) {
  DrawSnapshot(back);
  CopyScreenImage(back, 19, 215, 200, kOpaque);
  const int32_t score = Game ? Game->Score : 0;
  Question(back, 290, 232, 24, 14, "Your score is " + std::to_string(score));
  Question(back, 250, 254, 24, 14, "Please enter your name");
  OkCancelButtons->Draw(back);
  NameEdit->Draw(back);
}

void DrawSubmitQuestion(gfx::TSurface* back) {
  DrawSnapshot(back);
  CopyScreenImage(back, 19, 200, 200, kOpaque);
  YesNoButtons->Draw(back);
  Question(back, 254, 252, 24, 15, "Send the result to");
  Question(back, 216, 282, 24, 15, "world's highscores page");
}

void DrawQuitGameConfirm(gfx::TSurface* back) {
  DrawSnapshotOrRestore(back);
  CopyScreenImage(back, 19, 190, 200, kOpaque);
  Question(back, 300, 260, 46, 20, "Exit game?");
  YesNoButtons->Draw(back);
}

void DrawConnectFailed(gfx::TSurface* back) {
  DrawSnapshot(back);
  CopyScreenImage(back, 19, 190, 200, kOpaque);
  YesNoButtons->Draw(back);
  Question(back, 254, 252, 24, 15, "Can not connect to", kRed);
  Question(back, 290, 282, 24, 15, "server! Repeat?", kRed);
  CopyScreenImage(back, 23, 0, 0, kOpaque);
}

void DrawSending(gfx::TSurface* back) {
  DrawSnapshot(back);
  CopyScreenImage(back, 19, 190, 200, kOpaque);
  Question(back, 290, 282, 24, 16, "Please wait...");
  CopyScreenImage(back, 23, 0, 0, kOpaque);
}

}  // namespace

int32_t CopyScreenImage(gfx::TSurface* back, int slot, int32_t x, int32_t y, bool keyed) {
  const gfx::TSurface* picture = gfx::ScreenImages[slot].get();
  if (!picture) return -1;
  return back->BltFast(x, y, *picture, nullptr, keyed ? gfx::kBltWaitSrcKey : gfx::kBltWait);
}

void DrawMenuHeader(gfx::TSurface* back) {
  CopyScreenImage(back, 0, 0, 0, kOpaque);
  CopyScreenImage(back, 29, 0, 0, kKeyed);
  CopyScreenImage(back, 30, 388, 0, kKeyed);
}

void DrawScreen(gfx::TSurface* back) {
  switch (ScreenState) {
    case ssIntro: DrawIntro(back); break;
    case ssMainMenu: DrawMainMenu(back); break;
    case ssPlaying:
      StepGame(back);
      break;
    case ssOptions: DrawOptions(back, false); break;
    case ssBossKeyCapture: DrawOptions(back, true); break;
    case ssHighScores: DrawHighScorePage(back); break;
    case ssHelpOverview:
    case ssHelpBonuses:
    case ssHelpControls:
    case ssHelpAbout: DrawHelpPage(back, ScreenState); break;
    case ssExitConfirm: DrawExitConfirm(back); break;
    case ssClearScoresConfirm: DrawClearScoresConfirm(back); break;
    case ssPaused: DrawPaused(back); break;
    case ssNameEntry: DrawNameEntry(back); break;
    case ssSubmitQuestion: DrawSubmitQuestion(back); break;
    case ssQuitGameConfirm: DrawQuitGameConfirm(back); break;
    case ssConnectFailed: DrawConnectFailed(back); break;
    case ssSending: DrawSending(back); break;
    default: break;
  }
}

bool IsStillPage(int32_t state) {
  switch (state) {
    case ssMainMenu:
    case ssHighScores:
    case ssHelpOverview:
    case ssHelpControls:
    case ssHelpAbout:
    case ssExitConfirm:
    case ssClearScoresConfirm:
    case ssPaused:
    case ssSubmitQuestion:
    case ssQuitGameConfirm:
    case ssConnectFailed:
      return true;
    default:
      // The intro and the bonus page animate, the game moves, the options and name entry
      // blink a caret, the sending page waits on the network.
      return false;
  }
}

void ResetScreenState() {
  ScreenState = ssIntro;
  AnimCounter = 0;
}
