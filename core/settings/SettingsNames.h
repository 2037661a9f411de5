// The function settings of an image as the settings window names and shows
// them: one (label, value) pair per control, in the window's order (CboSet 0
// to 10, the VOX inhibit box, the power-on display, the power-on message).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "image/Module1.h"

namespace rm427 {

constexpr int kSettingsFields = 14;

std::vector<std::pair<std::string, std::string>> SettingsListing(const CodeplugImage& image,
                                                                 int language);

}  // namespace rm427
