// The colour schemes of the View menu: the system's own colours, a dark one
// and a high-contrast one for low vision. Plain colours here; the windows
// turn them into a palette.
#pragma once

#include <cstdint>
#include <string>

namespace rm427 {

enum class ColourScheme { System = 0, Dark = 1, HighContrast = 2 };

struct Rgb {
    std::uint8_t r, g, b;
};

// Each text colour is read on the background it is paired with.
struct SchemeColours {
    Rgb window, windowText;
    Rgb base, alternateBase, text;
    Rgb button, buttonText;
    Rgb highlight, highlightedText;  // the selection; the grid's current cell is selected
    Rgb toolTipBase, toolTipText;
    Rgb link;          // on base
    Rgb disabledText;  // on window and on button
    // The outlines of fields, check boxes and option buttons, on window and
    // on base; a disabled control is outlined in the dimmer one.
    Rgb frame, disabledFrame;
};

// The colours of Dark and HighContrast (System has none of its own).
const SchemeColours& SchemeColoursOf(ColourScheme scheme);

// The contrast ratio of two colours as screen guidelines measure it
// (WCAG 2: 1 for equal colours to 21 for black on white).
double ContrastRatio(Rgb a, Rgb b);

// The stored setting "Colours": "1" dark, "2" high contrast, else System.
ColourScheme SchemeFromSetting(const std::string& text);

}  // namespace rm427
