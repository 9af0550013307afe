#include "shell/program_state.h"

#include "persistence/config.h"
#include "persistence/score_submission.h"
#include "shell/form.h"
#include "shell/screen_state.h"

void ResetProgramState() {
  ResetFormState();
  ResetConfigState();
  ResetSubmissionState();
  ScreenState = ssIntro;
}
