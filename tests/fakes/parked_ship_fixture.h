// The world fixture with the player ship parked at (X, Y) from the start, so that tests of the
// enemy side know where the ship's box is.
#pragma once

#include <cstdint>

#include "fakes/world_fixture.h"
#include "game/game.h"
#include "game/my_ship.h"

template <int16_t X, int16_t Y>
class ParkedShipTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    Game->Ship->X = X;
    Game->Ship->Y = Y;
  }
};
