#include "shell/program_state.h"

#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/input.h"
#include "shell/screens.h"

void ResetProgramState() {
  ResetFormState();
  ResetConfigState();
  ResetScreenState();
  ResetInputState();
  gfx::FreeWidgets();
}
