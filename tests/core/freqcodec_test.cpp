#include <gtest/gtest.h>

#include "channels/FreqCodec.h"
#include "channels/ToneCodec.h"

using namespace rm427;

TEST(FreqText, ValueNormaliseCountFormat) {
    EXPECT_DOUBLE_EQ(NumericValue("145,125"), 145.0);
    EXPECT_DOUBLE_EQ(NumericValue("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(NumericValue("-5"), 0.0);
    EXPECT_EQ(NormaliseFreq("145,125"), "145.125");
    EXPECT_EQ(NormaliseFreq("145"), "145.");
    EXPECT_EQ(NormaliseFreq("145.1234567"), "145.12345");
    EXPECT_EQ(FreqCount("145.125"), 14512500);
    EXPECT_EQ(FreqCount("145.000005"), 14500001);
    EXPECT_EQ(FreqCount("99999999999999999999"), 2147483647);  // saturates
    EXPECT_EQ(FormatCount(14512500), "145.12500");
    EXPECT_EQ(FormatCount(5), "0.00005");
    EXPECT_EQ(FormatCount(-50000), "-0.50000");
}

TEST(FreqText, RoundFreqAndCheckFreq) {
    struct Case {
        const char* text;
        int col;
        const char* rx;
        const char* want;
    };
    const Case rounding[] = {
        {"145.0030", 1, "", "145.00500"},
        {"145.0060", 1, "", "145.00625"},
        {"145.01125", 1, "", "145.01000"},  // 125 from both candidates: 5 kHz
        {"145.0025", 1, "", "145.00500"},   // exact half rounds away from zero
        {"442.4625", 1, "", "442.46250"},
        {"145", 1, "", "145.00000"},
        {"145.0060", 2, "145.00000", "145.00500"},
        {"145.0060", 2, "145.00625", "145.00625"},
        {"145,125", 3, "", "145.125"},
        {"145.0060", 0, "", "145.0060"},
    };
    for (const Case& c : rounding) EXPECT_EQ(RoundFreq(c.text, c.col, c.rx), c.want) << c.text;

    struct Check {
        const char* text;
        const char* want;
        bool message;
    };
    const Check checks[] = {
        {"551", "550.00000", true},
        {"550", "550.00000", false},
        {"550.00001", "550.00000", true},
        {"100", "100.00000", false},
        {"99.99", "100.00000", true},
        {"abc", "100.00000", true},
        {"145,125", "145.12500", false},
        {"0145.125", "145.12500", false},  // not 14 MHz behind the range check
        {"00145", "145.00000", false},
    };
    for (const Check& c : checks) {
        const FreqCheckResult r = CheckFreq(c.text, 1, "", 100, 550, 100, 550);
        EXPECT_EQ(r.text, c.want) << c.text;
        EXPECT_EQ(r.outOfRange, c.message) << c.text;
    }
    // The editor compares with its edit limits and substitutes the others;
    // the batch editor uses the frequency limits for both.
    Module1 s;
    s.EditLimitLow = 136;
    s.EditLimitHigh = 174;
    EXPECT_EQ(CheckFreqEditor(s, "180", 1, "").text, "550.00000");
    EXPECT_EQ(CheckFreqEditor(s, "120", 1, "").text, "100.00000");
    EXPECT_FALSE(CheckFreqBatch(s, "180", 1, "").outOfRange);
    EXPECT_EQ(CheckFreqEditor(s, "145.0060", 2, "145.00625").text, "145.00625");
}

TEST(FreqPacking, WholeAndFraction) {
    PackedFreq p = PackFreq(14512500, 625);
    EXPECT_EQ(p.whole, 0x05AB);
    EXPECT_EQ(p.fraction, 4);
    EXPECT_EQ(UnpackFreq(p, 500), 14512000);  // the other step gives another frequency
    EXPECT_EQ(PackFreq(14512500, 500).fraction, 5);
    EXPECT_EQ(UnpackFreq(PackFreq(14500300, 500), 500), 14500000);  // remainder lost
    // Every step multiple below 10000 fits: 0..19 at 5 kHz, 0..15 at 6.25 kHz.
    for (int step : {500, 625})
        for (int f = 0; f * step < 10000; ++f) {
            const PackedFreq q = PackFreq(43000000 + f * step, step);
            EXPECT_EQ(q.whole, 4300);
            EXPECT_EQ(q.fraction, f);
            EXPECT_EQ(UnpackFreq(q, step), 43000000 + f * step);
        }
    // Fractions the program never writes carry into the whole part.
    EXPECT_EQ(UnpackFreq(PackedFreq{1451, 20}, 500), 14520000);
    EXPECT_EQ(UnpackFreq(PackedFreq{1451, 31}, 625), 14529375);
    EXPECT_EQ(PackFreq(14512500, 0).fraction, 0);  // no step yet: no division by zero
}

TEST(Tones, ListAndCodes) {
    const auto en = ToneList(0);
    const auto zh = ToneList(1);
    ASSERT_EQ(en.size(), 265u);
    EXPECT_EQ(en[0], "None");
    EXPECT_EQ(zh[0], "无");
    EXPECT_TRUE(std::equal(en.begin() + 1, en.end(), zh.begin() + 1));
    const std::pair<int, const char*> fixed[] = {{1, "67.0"},    {9, "88.5"},    {50, "254.1"},
                                                 {51, "D017N"},  {52, "D023N"},  {157, "D754N"},
                                                 {158, "D017I"}, {159, "D023I"}, {264, "D754I"}};
    for (const auto& [i, text] : fixed) EXPECT_EQ(en[i], text);
    EXPECT_EQ(ToneIndex(1, "无"), 0);
    EXPECT_EQ(ToneIndex(0, "d023n"), 0);  // exact match only
    // Every entry to its code and back through the family the record says.
    for (int i = 0; i < 265; ++i) {
        ASSERT_EQ(ToneIndex(0, en[i]), i);
        const std::uint8_t code = ToneCodeOfIndex(i);
        const int back = i == 0    ? (code == 0 ? 0 : -1)
                         : i <= 50 ? CtcssIndexOfCode(code)
                                   : DcsIndexOfCode(code);
        EXPECT_EQ(back, i);
    }
    EXPECT_EQ(ToneCodeOfIndex(159), 108);  // inverted = normal + 107
    EXPECT_EQ(DcsIndexOfCode(214), 0);     // past the end of the list
    EXPECT_EQ(CtcssIndexOfCode(50), 51);   // CTCSS codes above 49 land on DCS entries
}
