// Test and tuning mode: parameter table, wire encoding and frames. The
// exchange itself is driven over a pseudo-terminal in tests/gui/tst_testmode.
#include <gtest/gtest.h>

#include "radio/TestMode.h"

using namespace rm427;

TEST(TestModeTable, ParametersAndAddresses) {
    struct Row {
        int item, variant, P, address, width, maximum;
    };
    const Row rows[] = {
        {1, 3, 0, 0xAEE2, 1, 255},  {2, 0, 1, 0xAEE3, 1, 255},
        {3, 2, 2, 0xAEE4, 1, 255},  {4, 0, 3, 0xAEE6, 2, 511},
        {4, 1, 4, 0xAEE8, 2, 511},  {4, 2, 5, 0xAEEA, 2, 511},
        {4, 3, 6, 0xAEEC, 2, 511},  {5, 0, 7, 0xAEEE, 1, 255},
        {5, 3, 10, 0xAEF1, 1, 255}, {6, 0, 11, 0xAEF2, 1, 255},
        {6, 3, 14, 0xAEF5, 1, 255}, {0, 2, 0, 0xAEE2, 1, 255},  // no such item: the first one
    };
    for (const Row& r : rows) {
        const TuningParam p = TuningParameter(r.item, r.variant);
        EXPECT_EQ(p.index, r.P) << r.item << "/" << r.variant;
        EXPECT_EQ(p.address, r.address) << r.item << "/" << r.variant;
        EXPECT_EQ(p.width, r.width);
        EXPECT_EQ(p.maximum, r.maximum);
    }
    EXPECT_EQ(TuningVariant(false, false), 0);
    EXPECT_EQ(TuningVariant(false, true), 1);
    EXPECT_EQ(TuningVariant(true, false), 2);
    EXPECT_EQ(TuningVariant(true, true), 3);
}

TEST(TestModeTable, DeviationEncoding) {
    std::uint8_t a = 0, b = 0;
    EncodeDeviation(256, a, b);
    EXPECT_EQ(a, 0x1F);
    EXPECT_EQ(b, 0xE0);
    EXPECT_EQ(DecodeDeviation(0x1F, 0xE0), 256);
    EncodeDeviation(511, a, b);
    EXPECT_EQ(a, 0x00);
    EXPECT_EQ(b, 0x00);
    EncodeDeviation(0, a, b);
    EXPECT_EQ(a, 0x3F);
    EXPECT_EQ(b, 0xE0);
    for (int v = 0; v <= 511; ++v) {
        EncodeDeviation(v, a, b);
        ASSERT_EQ(DecodeDeviation(a, b), v);
    }
    // Nonsense from the radio stays in range.
    EXPECT_EQ(DecodeDeviation(0xFF, 0xFF), 0);
}

TEST(TestModeTable, Frames) {
    const TuningParam a1 = TuningParameter(1, 0);
    const TuningParam a4 = TuningParameter(4, 3);
    const TuningParam qt = TuningParameter(5, 0);
    EXPECT_EQ(TestModeFrame(TestModeState::Connecting, 0, a1, 0), Bytes({'T', 'U', 'M', 'K', 'E', 'L'}));
    EXPECT_EQ(TestModeFrame(TestModeState::Querying, 0, a1, 0), Bytes({0x54, 0x00, 0x02, 0x00}));
    EXPECT_EQ(TestModeFrame(TestModeState::Querying, 0, a4, 0), Bytes({0x54, 0x06, 0x02, 0x00}));
    EXPECT_EQ(TestModeFrame(TestModeState::AdjustOne, 0, a4, 256), Bytes({0x41, 0x06, 0x1F, 0xE0}));
    EXPECT_EQ(TestModeFrame(TestModeState::AdjustOne, 0, a1, 200), Bytes({0x41, 0x00, 200, 0x00}));
    EXPECT_EQ(TestModeFrame(TestModeState::Storing, 0, a1, 1), Bytes({'d', 'o', 'n', 'e'}));
    EXPECT_EQ(TestModeFrame(TestModeState::Storing, 1, a4, 256),
              Bytes({0x57, 0x02, 0xAE, 0xEC, 0x1F, 0xE0}));
    EXPECT_EQ(TestModeFrame(TestModeState::Storing, 1, qt, 100),
              Bytes({0x57, 0x01, 0xAE, 0xEE, 0x64, 0x00}));
    EXPECT_EQ(TestModeFrame(TestModeState::Leaving, 2, qt, 100), Bytes({'D', 'O', 'N', 'E'}));
    EXPECT_TRUE(TestModeFrame(TestModeState::Leaving, 1, qt, 100).empty());
    // A value beyond the parameter's range is never put on the wire.
    EXPECT_EQ(TestModeFrame(TestModeState::AdjustOne, 0, a1, 999), Bytes({0x41, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(TestModeAnswerLength(TestModeState::Connecting, 0), 18);
    EXPECT_EQ(TestModeAnswerLength(TestModeState::Querying, 0), 3);
    EXPECT_EQ(TestModeAnswerLength(TestModeState::Storing, 1), 1);
    EXPECT_EQ(TestModeAnswerLength(TestModeState::Storing, 2), 0);
}
