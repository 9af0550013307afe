// Which screen the program shows. Set by the menus, the input handlers, the game and the score
// submission; read by the frame composition, the close guard and the music.
#pragma once

#include <cstdint>

enum : int32_t {
  ssIntro = 0,
  ssMainMenu = 1,
  ssPlaying = 2,
  ssOptions = 3,
  ssHighScores = 4,
  ssHelpOverview = 5,
  ssExitConfirm = 7,
  ssClearScoresConfirm = 8,
  ssBossKeyCapture = 31,
  ssPaused = 33,
  ssNameEntry = 34,
  ssSubmitQuestion = 35,
  ssQuitGameConfirm = 36,
  ssConnectFailed = 38,
  ssSending = 39,
  ssHelpBonuses = 51,
  ssHelpControls = 52,
  ssHelpAbout = 53,
};

extern int32_t ScreenState;  // initially ssIntro
