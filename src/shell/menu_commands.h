// The one dispatcher of menu choices and the small operations the commands use.
#pragma once

#include <string>

// Acts on the choice of the current screen's widget.
void MenuCommand();
// Switches the sound effects on or off: stores Settings.Sound and sets the volume of every
// effect of the bank to 0 (on) or -10000 hundredths of a decibel (off).
void SetSound(bool on);
// Asks the desktop to open a URL; the result is ignored.
void OpenURL(const std::string& url);
