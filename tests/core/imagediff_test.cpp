// Comparing two images: channels by field, settings by name, the rest by offset.
#include <gtest/gtest.h>

#include "channels/ChannelRecord.h"
#include "file/ImageDiff.h"
#include "settings/SettingsRow.h"

using namespace rm427;

namespace {

TEST(ImageDiff, EqualImagesHaveNoDifferences) {
    const Module1 s;
    EXPECT_TRUE(DiffImages(s.Image, s.Image).empty());
}

TEST(ImageDiff, ChannelsSettingsAndBytes) {
    Module1 s;
    ChannelRows rows = MakeChannelRows(s);
    rows[3] = {"3",   "145.50000", "145.50000", "None", "None", "High", "Wide",
               "Yes", "Off",       "Off",       "Off",  "Off",  "AB"};
    SaveChannelRows(s, rows);
    const CodeplugImage a = s.Image;
    rows[3][colRxFreq] = "146.00000";
    rows[3][colTxFreq] = "146.00000";
    rows[3][colName] = "AC";
    SaveChannelRows(s, rows);
    SettingsSelections sel = ShowSettings(s.Image);
    sel.list[setSquelch] = 5;
    sel.message = "HI";
    StoreSettings(s.Image, sel);
    s.Image[kModelByte] = 0xF0;
    const std::vector<std::string> expected = {
        "channel 3: Rx Freq \"145.50000\" -> \"146.00000\"",
        "channel 3: Tx Freq \"145.50000\" -> \"146.00000\"",
        "channel 3: Name \"AB\" -> \"AC\"",
        "setting SQ Level: \"2\" -> \"5\"",
        "setting Dis. Information: \"\" -> \"HI\"",
        // The squelch copy and the second settings row are not shown by any
        // field of the window, so they are listed as bytes.
        "byte 0x3D2: FF -> F0",
        "byte 0xE96: 02 -> 05",
        "byte 0xEB5: 02 -> 05",
        "byte 0xEB6: 02 -> 05",
    };
    EXPECT_EQ(DiffImages(a, s.Image), expected);

    // A window in Chinese lists the same differences in Chinese.
    const std::vector<std::string> zh = DiffImages(a, s.Image, 1);
    ASSERT_EQ(zh.size(), expected.size());
    EXPECT_EQ(zh[0], "信道 3：接收频率 \"145.50000\" -> \"146.00000\"");
    EXPECT_EQ(zh[3], "设置 静噪电平：\"2\" -> \"5\"");
    EXPECT_EQ(zh[5], "字节 0x3D2：FF -> F0");
}

TEST(ImageDiff, ChangesTheViewsDoNotShowAreListedByOffset) {
    const Module1 s;
    CodeplugImage a = s.Image, b = s.Image;
    // Two squelch values out of range both show as 2.
    a[0xE95] = 12;
    b[0xE95] = 15;
    // A kept bit of a programmed channel record.
    ChannelRows rows = MakeChannelRows(s);
    Module1 t;
    rows[1] = {"1",   "145.50000", "145.50000", "None", "None", "High", "Wide",
               "Yes", "Off",       "Off",       "Off",  "Off",  ""};
    SaveChannelRows(t, rows);
    std::copy_n(t.Image.begin(), kChannelRecordSize, a.begin());
    std::copy_n(t.Image.begin(), kChannelRecordSize, b.begin());
    b[5] ^= 0x20;
    // A byte between the blocks of the channel table.
    b[0x1FF] = 0x00;
    const std::vector<std::string> expected = {"byte 0x005: E0 -> C0", "byte 0x1FF: FF -> 00",
                                               "byte 0xE95: 0C -> 0F"};
    EXPECT_EQ(DiffImages(a, b), expected);
}

}  // namespace
