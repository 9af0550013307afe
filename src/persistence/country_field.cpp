#include "persistence/country_field.h"

#include "graphics/widgets.h"

std::optional<std::string> CountryEditText() {
  if (!CountryEdit) return std::nullopt;
  return CountryEdit->Text();
}

void SetCountryEditText(const std::string& text) {
  if (CountryEdit) CountryEdit->SetText(text);
}
