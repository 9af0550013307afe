// Puts every program-wide global back to its start-up value, so that each test starts from a
// fresh program.
#pragma once

void ResetProgramState();
