// What differs between two codeplug images, in the terms a user knows:
// channels field by field (the channel editor's columns), function settings
// by their names in the settings window, and every other differing byte by
// its image offset. Nothing that differs is left out: a byte whose change
// the channel or settings view does not show (kept bits, two out-of-range
// values with the same fallback, bytes no window edits) is listed by offset.
#pragma once

#include <string>
#include <vector>

#include "image/Module1.h"

namespace rm427 {

// One line per difference, in image order of channels, then settings, then
// bytes:
//   channel 3: Rx Freq "145.50000" -> "146.00000"
//   setting SQ Level: "2" -> "5"
//   byte 0x3D2: F4 -> F0
// Empty when the images are equal. The lines, column titles, setting names
// and shown values are in the language asked for: English for rm427-cli
// (its diff and write --preview print these lines as scripts know them),
// the window's language where a window shows them.
std::vector<std::string> DiffImages(const CodeplugImage& a, const CodeplugImage& b, int language = 0);

}  // namespace rm427
