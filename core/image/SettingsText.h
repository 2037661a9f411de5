// How the stored setting texts turn into the start-up values.
#pragma once

#include <cstdint>
#include <string>

namespace rm427 {

// The leading decimal number of a text: optional blanks, an optional sign,
// digits with at most one decimal point. 0 when the text has none.
double LeadingNumber(const std::string& text);

// "Model": empty gives 4; otherwise the number rounded to the nearest integer
// (halves to even), AND 15. "243" gives 3, "255" gives 15.
std::uint8_t ModelCodeFromSetting(const std::string& text);

// "Language": 1 is Chinese; empty, 0 and anything else is English (the text
// table has only these two languages).
std::uint8_t LanguageFromSetting(const std::string& text);

}  // namespace rm427
