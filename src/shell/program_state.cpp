#include "shell/program_state.h"

#include "persistence/config.h"
#include "shell/form.h"
#include "shell/screen_state.h"

void ResetProgramState() {
  ResetFormState();
  ResetConfigState();
  ScreenState = ssIntro;
}
