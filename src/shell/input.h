// Pointer position of the menus and the keyboard/mouse handlers' helpers. The handlers
// themselves are members of TForm1 (shell/form.h).
#pragma once

#include <cstdint>

// Last pointer position in client coordinates (= back-buffer pixels), written by
// TForm1::FormMouseMove while the window is ready; read by the widgets' hit tests and by the
// pan and volume of the menu click.
extern int32_t MouseX;
extern int32_t MouseY;

// Puts the pointer position back to its start-up value (0, 0).
void ResetInputState();
