#include "shell/program_state.h"

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
  ScreenState = ssIntro;
}
