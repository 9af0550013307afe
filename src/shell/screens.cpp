#include "shell/screens.h"

#include "game/game.h"
#include "shell/screen_state.h"

int32_t ScreenState = ssIntro;

// The menu pages arrive with the menu screens; until then only the game draws.
void DrawScreen(gfx::TSurface* back) {
  if (ScreenState == ssPlaying && Game) Game->Update(back);
}
