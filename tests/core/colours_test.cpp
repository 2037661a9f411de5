#include <gtest/gtest.h>

#include <iterator>
#include <utility>

#include "view/ColourSchemes.h"

using namespace rm427;

// Every text of the dark and high-contrast schemes reads on the background
// it is drawn on: 4.5:1 in the dark scheme, 7:1 in the high-contrast one
// (the guidelines' AA and AAA); outlines 3:1; disabled texts 7:1 in high
// contrast, 3:1 in dark.
TEST(ColourSchemes, TextsReadOnTheirBackgrounds) {
    EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio({9, 9, 9}, {9, 9, 9}), 1.0, 1e-9);
    for (auto [scheme, least] :
         {std::pair{ColourScheme::Dark, 4.5}, {ColourScheme::HighContrast, 7.0}}) {
        const SchemeColours& c = SchemeColoursOf(scheme);
        const std::pair<Rgb, Rgb> texts[] = {
            {c.windowText, c.window},
            {c.text, c.base},
            {c.text, c.alternateBase},
            {c.buttonText, c.button},
            {c.highlightedText, c.highlight},
            {c.toolTipText, c.toolTipBase},
            {c.link, c.base},
        };
        for (std::size_t i = 0; i < std::size(texts); ++i)
            EXPECT_GE(ContrastRatio(texts[i].first, texts[i].second), least) << int(scheme) << " " << i;
        // Disabled texts still read, yet are plainly set apart from the
        // enabled ones; so are the outlines of disabled controls.
        const double readable = scheme == ColourScheme::HighContrast ? 7.0 : 3.0;
        EXPECT_GE(ContrastRatio(c.disabledText, c.window), readable) << int(scheme);
        EXPECT_GE(ContrastRatio(c.disabledText, c.button), readable) << int(scheme);
        EXPECT_GE(ContrastRatio(c.disabledText, c.windowText), 2.0) << int(scheme);
        EXPECT_GE(ContrastRatio(c.disabledText, c.buttonText), 2.0) << int(scheme);
        EXPECT_GE(ContrastRatio(c.frame, c.window), 3.0) << int(scheme);
        EXPECT_GE(ContrastRatio(c.frame, c.base), 3.0) << int(scheme);
        EXPECT_GE(ContrastRatio(c.disabledFrame, c.frame), 2.0) << int(scheme);
        EXPECT_LT(ContrastRatio(c.disabledFrame, c.window), ContrastRatio(c.frame, c.window));
    }
    EXPECT_EQ(SchemeFromSetting("2"), ColourScheme::HighContrast);
    EXPECT_EQ(SchemeFromSetting("1"), ColourScheme::Dark);
    EXPECT_EQ(SchemeFromSetting("x"), ColourScheme::System);
}
