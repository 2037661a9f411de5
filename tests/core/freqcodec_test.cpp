#include <gtest/gtest.h>

#include "channels/FreqCodec.h"
#include "channels/ToneCodec.h"

using namespace rm427;

TEST(FreqText, NumericValueNormaliseAndCount) {
    EXPECT_DOUBLE_EQ(NumericValue("145,125"), 145.0);
    EXPECT_DOUBLE_EQ(NumericValue("145.125"), 145.125);
    EXPECT_DOUBLE_EQ(NumericValue(".5"), 0.5);
    EXPECT_DOUBLE_EQ(NumericValue("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(NumericValue(""), 0.0);
    EXPECT_DOUBLE_EQ(NumericValue("-5"), 0.0);
    EXPECT_DOUBLE_EQ(NumericValue("abc"), 0.0);

    EXPECT_EQ(NormaliseFreq("145,125"), "145.125");
    EXPECT_EQ(NormaliseFreq("145"), "145.");
    EXPECT_EQ(NormaliseFreq("14"), "14.");
    EXPECT_EQ(NormaliseFreq(""), ".");
    EXPECT_EQ(NormaliseFreq("145.1234567"), "145.12345");

    EXPECT_EQ(FreqCount("145.12500"), 14512500);
    EXPECT_EQ(FreqCount("145.125"), 14512500);
    EXPECT_EQ(FreqCount("145.000005"), 14500001);  // rounds to the nearest count
    EXPECT_EQ(FreqCount("145.0000049"), 14500000);
    EXPECT_EQ(FreqCount(""), 0);
    EXPECT_EQ(FreqCount("99999999999999999999"), 2147483647);  // saturates

    EXPECT_EQ(FormatCount(14512500), "145.12500");
    EXPECT_EQ(FormatCount(0), "0.00000");
    EXPECT_EQ(FormatCount(5), "0.00005");
    EXPECT_EQ(FormatCount(-50000), "-0.50000");
}

TEST(FreqText, RoundFreqPicksTheRaster) {
    // Receive column: the nearer raster, ties to 5 kHz.
    EXPECT_EQ(RoundFreq("145.0030", 1, ""), "145.00500");
    EXPECT_EQ(RoundFreq("145.0060", 1, ""), "145.00625");
    EXPECT_EQ(RoundFreq("145.01125", 1, ""), "145.01000");  // 125 from both candidates
    EXPECT_EQ(RoundFreq("145.0025", 1, ""), "145.00500");   // exact half on 5 kHz rounds up
    EXPECT_EQ(RoundFreq("438.5", 1, ""), "438.50000");
    EXPECT_EQ(RoundFreq("145", 1, ""), "145.00000");
    EXPECT_EQ(RoundFreq("442.4625", 1, ""), "442.46250");
    // Transmit column follows the raster of the row's receive frequency.
    EXPECT_EQ(RoundFreq("145.0060", 2, "145.00000"), "145.00500");
    EXPECT_EQ(RoundFreq("145.0060", 2, "145.00625"), "145.00625");
    EXPECT_EQ(RoundFreq("145.0060", 2, ""), "145.00500");
    // Other columns: normalised only.
    EXPECT_EQ(RoundFreq("145,125", 3, ""), "145.125");
    EXPECT_EQ(RoundFreq("145.0060", 0, ""), "145.0060");
}

TEST(FreqText, CheckFreqRangeAndRounding) {
    auto editor = [](const std::string& t) { return CheckFreq(t, 1, "", 100, 550, 100, 550); };
    FreqCheckResult r = editor("551");
    EXPECT_EQ(r.text, "550.00000");
    EXPECT_TRUE(r.outOfRange);
    r = editor("550");
    EXPECT_EQ(r.text, "550.00000");
    EXPECT_FALSE(r.outOfRange);
    r = editor("550.00001");
    EXPECT_EQ(r.text, "550.00000");
    EXPECT_TRUE(r.outOfRange);
    r = editor("100");
    EXPECT_EQ(r.text, "100.00000");
    EXPECT_FALSE(r.outOfRange);
    r = editor("99.99");
    EXPECT_EQ(r.text, "100.00000");
    EXPECT_TRUE(r.outOfRange);
    r = editor("abc");
    EXPECT_EQ(r.text, "100.00000");
    EXPECT_TRUE(r.outOfRange);
    r = editor("145,125");
    EXPECT_EQ(r.text, "145.12500");
    EXPECT_FALSE(r.outOfRange);
    // A leading zero must not turn a checked 145.125 into 14 MHz.
    EXPECT_EQ(editor("0145.125").text, "145.12500");
    EXPECT_EQ(editor("00145").text, "145.00000");
    // Compare with one pair of limits, substitute the other.
    r = CheckFreq("180", 1, "", 136, 174, 100, 550);
    EXPECT_EQ(r.text, "550.00000");
    EXPECT_TRUE(r.outOfRange);
    r = CheckFreq("120", 1, "", 136, 174, 100, 550);
    EXPECT_EQ(r.text, "100.00000");
    // Transmit entry uses the receive raster.
    EXPECT_EQ(CheckFreq("145.0060", 2, "145.00625", 100, 550, 100, 550).text, "145.00625");
}

TEST(FreqPacking, WholeAndFraction) {
    PackedFreq p = PackFreq(14512500, 625);
    EXPECT_EQ(p.whole, 0x05AB);
    EXPECT_EQ(p.fraction, 4);
    EXPECT_EQ(UnpackFreq(p, 625), 14512500);
    EXPECT_EQ(UnpackFreq(p, 500), 14512000);  // the other step gives another frequency
    p = PackFreq(14512500, 500);
    EXPECT_EQ(p.fraction, 5);
    EXPECT_EQ(UnpackFreq(p, 500), 14512500);
    // Off-raster remainders are lost.
    EXPECT_EQ(UnpackFreq(PackFreq(14500300, 500), 500), 14500000);
    EXPECT_EQ(UnpackFreq(PackFreq(14500700, 625), 625), 14500625);
    // Every step multiple below 10000 fits: 0..19 at 5 kHz, 0..15 at 6.25 kHz.
    for (int step : {500, 625})
        for (int f = 0; f * step < 10000; ++f) {
            const std::int64_t count = 43000000 + f * step;
            const PackedFreq q = PackFreq(count, step);
            EXPECT_EQ(q.whole, 4300);
            EXPECT_EQ(q.fraction, f);
            EXPECT_EQ(UnpackFreq(q, step), count);
        }
    // Fractions the program never writes carry into the whole part.
    EXPECT_EQ(UnpackFreq(PackedFreq{1451, 20}, 500), 14520000);
    EXPECT_EQ(UnpackFreq(PackedFreq{1451, 31}, 625), 14529375);
    // No step yet (FreqStep 0) and negative counts do not crash.
    EXPECT_EQ(PackFreq(14512500, 0).fraction, 0);
    EXPECT_EQ(PackFreq(-5, 500).whole, 0);
}

TEST(Tones, ListAndCodes) {
    const auto en = ToneList(0);
    const auto zh = ToneList(1);
    ASSERT_EQ(en.size(), 265u);
    ASSERT_EQ(zh.size(), 265u);
    EXPECT_EQ(en[0], "None");
    EXPECT_EQ(zh[0], "无");
    for (int i = 1; i < 265; ++i) EXPECT_EQ(en[i], zh[i]);
    EXPECT_EQ(en[1], "67.0");
    EXPECT_EQ(en[9], "88.5");
    EXPECT_EQ(en[50], "254.1");
    EXPECT_EQ(en[51], "D017N");
    EXPECT_EQ(en[52], "D023N");
    EXPECT_EQ(en[157], "D754N");
    EXPECT_EQ(en[158], "D017I");
    EXPECT_EQ(en[159], "D023I");
    EXPECT_EQ(en[264], "D754I");

    EXPECT_EQ(ToneIndex(0, "None"), 0);
    EXPECT_EQ(ToneIndex(1, "无"), 0);
    EXPECT_EQ(ToneIndex(0, "88.5"), 9);
    EXPECT_EQ(ToneIndex(0, "d023n"), 0);  // exact match only
    EXPECT_EQ(ToneIndex(0, "123.4"), 0);

    // Every entry to its code and back through the family the record says.
    for (int i = 0; i < 265; ++i) {
        ASSERT_EQ(ToneIndex(0, en[i]), i);
        const std::uint8_t code = ToneCodeOfIndex(i);
        if (i == 0)
            EXPECT_EQ(code, 0);
        else if (i <= 50)
            EXPECT_EQ(CtcssIndexOfCode(code), i);
        else
            EXPECT_EQ(DcsIndexOfCode(code), i);
    }
    EXPECT_EQ(ToneCodeOfIndex(159), 108);  // D023I = D023N + 107
    // Codes past the end of the list read as "None"; CTCSS codes above 49
    // land on DCS entries by the rule.
    EXPECT_EQ(DcsIndexOfCode(213), 264);
    EXPECT_EQ(DcsIndexOfCode(214), 0);
    EXPECT_EQ(DcsIndexOfCode(255), 0);
    EXPECT_EQ(CtcssIndexOfCode(50), 51);
    EXPECT_EQ(CtcssIndexOfCode(255), 256);
}
