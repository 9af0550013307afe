#include "shell/form.h"

// The keyboard and mouse handlers of the menus arrive with the menu screens.
void TForm1::FormKeyDown(int32_t, uint8_t) { FMouseActive = 0; }
void TForm1::FormMouseMove(uint8_t, int32_t, int32_t) { FMouseActive = -1; }
void TForm1::FormMouseDown(int32_t, uint8_t, int32_t, int32_t) {}
