// What must hold of the enemy side of the world after every frame: the wave generator's table
// and count, every gun's shot table, the boss and the asteroids. For scenario tests:
//   ASSERT_TRUE(EnemyWorldConsistent(*Game)) << "frame " << n;
#pragma once

#include <gtest/gtest.h>

class TGame;

testing::AssertionResult EnemyWorldConsistent(const TGame& game);
