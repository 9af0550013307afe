#include "shell/program_state.h"

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "game/game.h"
#include "graphics/font_cache.h"
#include "graphics/images.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "persistence/score_submission.h"
#include "shell/form.h"
#include "shell/game_session.h"
#include "shell/game_view.h"
#include "shell/input.h"
#include "shell/pad_input.h"
#include "shell/program.h"
#include "shell/screens.h"

void ResetProgramState() {
  ResetGameState();
  ResetGameSession();
  InstallGameView();
  ResetFormState();
  ResetConfigState();
  ResetSubmissionState();
  gfx::ResetImages();
  gfx::FreeWidgets();
  gfx::ResetFontCache();
  ResetScreenState();
  ForgetHeldEvents();
  ResetInputState();
  ResetPadInputState();
  ResetSoundBank();
  ResetMusicState();
}
