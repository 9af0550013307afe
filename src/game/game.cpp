#include "game/game.h"

std::unique_ptr<TGame> Game;

// The game world arrives with its own subsystem.
void TGame::Update(gfx::TSurface*) {}
