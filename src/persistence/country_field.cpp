#include "persistence/country_field.h"

namespace {
// Stands in for the options page's text box until the menu widgets exist.
std::optional<std::string> gCountryBox;
}  // namespace

std::optional<std::string> CountryEditText() { return gCountryBox; }

void SetCountryEditText(const std::string& text) { gCountryBox = text; }
