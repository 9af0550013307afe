// One game, from the first stage to game over.
#pragma once

#include <memory>

#include "graphics/surface.h"

class TGame {
 public:
  // Steps the game world by one frame and draws it into `target`.
  void Update(gfx::TSurface* target);
};

// The current game, or none.
extern std::unique_ptr<TGame> Game;
