// The View menu's colour schemes applied to the whole program.
#pragma once

#include "view/ColourSchemes.h"

namespace rm427::gui {

// Dark and HighContrast set their palette on the Fusion style, which draws
// with the palette's colours (and outlines fields and option buttons in the
// scheme's frame colours); System brings back the style and palette the
// program started with.
void ApplyColourScheme(ColourScheme scheme);

}  // namespace rm427::gui
