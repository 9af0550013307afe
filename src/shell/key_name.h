// Display text of a Windows virtual-key code, shown for the boss key on the options page.
#pragma once

#include <cstdint>
#include <string>

// "Bad" for every code that has no name; such keys cannot become the boss key.
std::string KeyName(int32_t code);
