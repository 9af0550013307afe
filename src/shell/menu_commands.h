// The one dispatcher of menu choices and the small operations the commands use.
#pragma once

#include <string>

// Acts on the choice of the current screen's widget. Called by the mouse-press handler (after
// every widget tested the pointer), by the key handler (after it set the current widget's
// Triggered flag) and by the options rows' Choose.
void MenuCommand();
// Switches the sound effects on or off: stores Settings.Sound and sets the volume of every
// effect of the bank to 0 (on) or -10000 hundredths of a decibel (off).
void SetSound(bool on);
// Asks the desktop to open a URL; the result is ignored.
void OpenURL(const std::string& url);
// The confirmation click: MenuClick played directly on the bank's item, at the pan and volume
// of its last play; silent while sound is off because SetSound turned the item down.
void Click();
