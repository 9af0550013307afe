#include "shell/program_state.h"

#include "graphics/font_cache.h"
#include "graphics/images.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/screen_state.h"

void ResetProgramState() {
  ResetFormState();
  ResetConfigState();
  gfx::ResetImages();
  gfx::ResetFontCache();
  ScreenState = ssIntro;
}
