#include <gtest/gtest.h>

#include "channels/ChannelRecord.h"
#include "demo/DemoCodeplug.h"
#include "image/ModelTable.h"
#include "settings/SettingsRow.h"

using namespace rm427;

// The demonstration codeplug is what a real one looks like: a dozen
// channels of the UHF model's band with names and signalling, and settings
// unlike a new image's.
TEST(DemoCodeplug, ADozenNamedChannelsInTheModelsBandAndOwnSettings) {
    const CodeplugImage image = DemoCodeplug();
    Module1 s;
    s.Image = image;
    ChannelRows rows = MakeChannelRows(s);
    LoadChannelRows(s, rows);
    int programmed = 0, named = 0, toned = 0;
    for (int n = 1; n <= kMaxChannels; ++n) {
        if (rows[n][colRxFreq].empty()) continue;
        ++programmed;
        named += !rows[n][colName].empty();
        toned += rows[n][colDecode] != "None" || rows[n][colEncode] != "None";
        const double rx = std::stod(rows[n][colRxFreq]);
        EXPECT_TRUE(rx >= 400 && rx <= 470) << n;
    }
    EXPECT_EQ(programmed, 12);
    EXPECT_EQ(named, 12);
    EXPECT_GE(toned, 6);
    EXPECT_EQ(rows[2][colTxFreq], "436.10000");
    EXPECT_EQ(rows[16][colName], "D-RPT");  // after the gap
    EXPECT_EQ(rows[16][colRxFreq], "435.00625");
    // The band of a new image, which a read from the radio lands in (it does
    // not fetch the model bytes): what the channels are.
    EXPECT_EQ(BandName(image), "400 - 470(MHz)");
    EXPECT_EQ(BandName(image), BandName(Module1().Image));
    const SettingsSelections sel = ShowSettings(image);
    EXPECT_EQ(sel.message, "DEMO");
    EXPECT_EQ(sel.powerOnDisplay, powerOnMessage);
    EXPECT_NE(sel.list, ShowSettings(Module1().Image).list);
}
