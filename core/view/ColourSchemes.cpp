#include "view/ColourSchemes.h"

#include <algorithm>
#include <cmath>

namespace rm427 {

const SchemeColours& SchemeColoursOf(ColourScheme scheme) {
    static const SchemeColours dark = {
        {0x2b, 0x2b, 0x2b}, {0xe8, 0xe8, 0xe8},                      // window
        {0x1e, 0x1e, 0x1e}, {0x26, 0x26, 0x26}, {0xe8, 0xe8, 0xe8},  // base
        {0x3a, 0x3a, 0x3a}, {0xf0, 0xf0, 0xf0},                      // button
        {0x2f, 0x65, 0xca}, {0xff, 0xff, 0xff},                      // selection
        {0x3a, 0x3a, 0x3a}, {0xf0, 0xf0, 0xf0},                      // tool tip
        {0x8a, 0xb4, 0xf8},                                          // link
        {0xa0, 0xa0, 0xa0},                                          // disabled
        {0x8a, 0x8a, 0x8a}, {0x50, 0x50, 0x50},                      // frames
    };
    static const SchemeColours high = {
        {0x00, 0x00, 0x00}, {0xff, 0xff, 0xff},                      // window
        {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0xff, 0xff, 0xff},  // base
        {0x00, 0x00, 0x00}, {0xff, 0xff, 0xff},                      // button
        {0xff, 0xff, 0x00}, {0x00, 0x00, 0x00},                      // selection
        {0x00, 0x00, 0x00}, {0xff, 0xff, 0xff},                      // tool tip
        {0x00, 0xff, 0xff},                                          // link
        {0x99, 0x99, 0x99},                                          // disabled
        {0xff, 0xff, 0xff}, {0x99, 0x99, 0x99},                      // frames
    };
    return scheme == ColourScheme::HighContrast ? high : dark;
}

double ContrastRatio(Rgb a, Rgb b) {
    auto luminance = [](Rgb c) {
        auto channel = [](std::uint8_t v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ColourScheme SchemeFromSetting(const std::string& text) {
    if (text == "1") return ColourScheme::Dark;
    if (text == "2") return ColourScheme::HighContrast;
    return ColourScheme::System;
}

}  // namespace rm427
