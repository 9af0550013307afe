#include "shell/program_state.h"

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "graphics/font_cache.h"
#include "graphics/images.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/input.h"
#include "shell/screens.h"

void ResetProgramState() {
  ResetFormState();
  ResetConfigState();
  gfx::ResetImages();
  gfx::FreeWidgets();
  gfx::ResetFontCache();
  ResetScreenState();
  ResetInputState();
  ResetSoundBank();
  ResetMusicState();
}
