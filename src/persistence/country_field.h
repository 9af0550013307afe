// The options page's country box as the settings file sees it: the loader puts the stored
// country into it, and a save takes the player's typing from it.
#pragma once

#include <optional>
#include <string>

// The box's text; none while the box does not exist yet (start-up before the widgets are made).
std::optional<std::string> CountryEditText();
// Puts a text into the box with the typing position at its end; ignored while there is no box.
void SetCountryEditText(const std::string& text);
