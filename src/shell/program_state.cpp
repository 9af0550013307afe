#include "shell/program_state.h"

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "graphics/font_cache.h"
#include "graphics/images.h"
#include "persistence/config.h"
#include "persistence/score_submission.h"
#include "shell/form.h"
#include "shell/screen_state.h"

void ResetProgramState() {
  ResetFormState();
  ResetConfigState();
  ResetSubmissionState();
  gfx::ResetImages();
  gfx::ResetFontCache();
  ResetSoundBank();
  ResetMusicState();
  ScreenState = ssIntro;
}
