#include <gtest/gtest.h>

#include <set>

#include "channels/ToneCodec.h"
#include "image/Module1.h"
#include "settings/BatchFill.h"
#include "text/TextTable.h"

using namespace rm427;

namespace {

ChannelRows EmptyRows(const Module1& s) {
    ChannelRows rows(s.CHCount + 1);
    for (int n = 0; n <= s.CHCount; ++n) rows[n][colChannel] = std::to_string(n);
    rows[0][colRxFreq] = "Rx Freq";
    return rows;
}

struct Batch {
    Module1 state;
    BatchRandom random;
    ChannelRows rows = EmptyRows(state);
    BatchInputs in;

    void Apply() { ApplyBatch(state, in, random, rows); }
    std::string Rx(int n) const { return rows[n][colRxFreq]; }
    std::string Tx(int n) const { return rows[n][colTxFreq]; }
    // Column col of channels from..to.
    std::vector<std::string> Cells(int col, int from, int to) const {
        std::vector<std::string> out;
        for (int n = from; n <= to; ++n) out.push_back(rows[n][col]);
        return out;
    }
};

using Texts = std::vector<std::string>;

}  // namespace

TEST(BatchFrequencies, StepsAscendingWithTransmitSameAsReceive) {
    Batch b;
    b.in.rxText = "145.00000";
    b.in.rxStepText = "100";
    b.Apply();
    EXPECT_EQ(b.Cells(colRxFreq, 1, 3), (Texts{"145.00000", "145.10000", "145.20000"}));
    EXPECT_EQ(b.Rx(11), "146.00000");
    for (int n = 1; n <= 128; ++n) ASSERT_EQ(b.Tx(n), b.Rx(n)) << n;
    EXPECT_EQ(b.Rx(128), "157.70000");
    EXPECT_EQ(b.rows[0][colRxFreq], "Rx Freq");  // titles untouched
}

TEST(BatchFrequencies, WrapsAtTheLimits) {
    Batch b;
    b.in.rxText = "549.90000";
    b.in.rxStepText = "100";
    b.in.toChannel = 4;
    b.Apply();
    // Equal to the limit stays; past it wraps to the other one.
    EXPECT_EQ(b.Cells(colRxFreq, 2, 4), (Texts{"550.00000", "100.00000", "100.10000"}));

    Batch d;
    d.in.rxText = "100.10000";
    d.in.rxStepText = "100";
    d.in.rxAscending = false;
    d.in.toChannel = 4;
    d.Apply();
    EXPECT_EQ(d.Cells(colRxFreq, 1, 4), (Texts{"100.10000", "100.00000", "550.00000", "549.90000"}));
}

TEST(BatchFrequencies, SnapsToTheRasterOfEachChannel) {
    Batch b;
    b.in.rxText = "145.00000";
    b.in.rxStepText = "6.25";
    b.in.toChannel = 5;
    b.Apply();
    EXPECT_EQ(b.Cells(colRxFreq, 2, 5), (Texts{"145.00625", "145.01250", "145.01875", "145.02500"}));

    // Own transmit sequence in 5 kHz steps beside 6.25 kHz receive channels:
    // each transmit frequency takes its own channel's raster.
    b.in.txMode = txOwnStart;
    b.in.txText = "150.00000";
    b.in.txStepText = "5";
    b.Apply();
    // (150.005 on the 6.25 kHz raster is 150.00625.)
    EXPECT_EQ(b.Cells(colTxFreq, 1, 3), (Texts{"150.00000", "150.00625", "150.01250"}));
}

TEST(BatchFrequencies, OffsetAppliesFromTheFirstChannel) {
    Batch b;
    b.in.rxText = "438.50000";
    b.in.rxStepText = "25";
    b.in.txMode = txOffset;
    b.in.offsetText = "5";
    b.in.offsetPlus = false;
    b.in.toChannel = 3;
    b.Apply();
    EXPECT_EQ(b.Rx(2), "438.52500");
    EXPECT_EQ(b.Cells(colTxFreq, 1, 3), (Texts{"433.50000", "433.52500", "433.55000"}));

    // A plus offset that runs past the upper limit wraps to the lower one.
    b.in.rxText = "548.00000";
    b.in.offsetPlus = true;
    b.Apply();
    EXPECT_EQ(b.Tx(1), "100.00000");
}

TEST(BatchFrequencies, OwnTransmitSequenceDescends) {
    Batch b;
    b.in.rxText = "145.00000";
    b.in.txMode = txOwnStart;
    b.in.txText = "100.05000";
    b.in.txStepText = "25";
    b.in.txAscending = false;
    b.in.toChannel = 4;
    b.Apply();
    EXPECT_EQ(b.Rx(4), "145.00000");  // receive step 0
    EXPECT_EQ(b.Cells(colTxFreq, 1, 4), (Texts{"100.05000", "100.02500", "100.00000", "550.00000"}));
}

TEST(BatchSignalling, StepsWithinTheList) {
    Batch b;
    b.in.toChannel = 3;
    b.in.decodeIndex = 1;
    b.in.decodeIntervalText = "2";
    b.Apply();
    EXPECT_EQ(b.Cells(colDecode, 1, 3), (Texts{"67.0", "71.9", "77.0"}));
    EXPECT_EQ(b.Cells(colEncode, 1, 3), b.Cells(colDecode, 1, 3));

    b.in.decodeIndex = 260;
    b.in.decodeIntervalText = "1";
    b.Apply();
    EXPECT_EQ(b.Cells(colDecode, 1, 3), (Texts{"D731I", "None", "67.0"}));  // entry 260 wraps

    // Start entries above 260 only reach the first channel.
    b.in.decodeIndex = 264;
    b.in.decodeIntervalText = "0";
    b.Apply();
    EXPECT_EQ(b.Cells(colDecode, 1, 3), (Texts{"D754I", "None", "None"}));  // entry 264

    // Descending wraps from 0 to 260; encode has its own sequence.
    b.in.decodeIndex = 1;
    b.in.decodeIntervalText = "1";
    b.in.decodeAscending = false;
    b.in.encodeSameAsDecode = false;
    b.in.encodeIndex = 51;
    b.in.encodeIntervalText = "3";
    b.Apply();
    EXPECT_EQ(b.Cells(colDecode, 1, 3), (Texts{"67.0", "None", "D731I"}));
    EXPECT_EQ(b.Cells(colEncode, 1, 3), (Texts{"D017N", "D026N", "D036N"}));
}

TEST(BatchSignalling, RandomChoiceIsRepeatableAndInRange) {
    Batch b;
    b.in.decodeRandom = true;
    b.Apply();
    std::set<std::string> seen;
    for (int n = 1; n <= 128; ++n) {
        EXPECT_EQ(b.rows[n][colEncode], b.rows[n][colDecode]) << n;  // encode default
        seen.insert(b.rows[n][colDecode]);
    }
    EXPECT_GT(seen.size(), 60u);  // really random, not one value

    // A fresh generator (a new run) gives the same sequence.
    Batch again;
    again.in.decodeRandom = true;
    again.Apply();
    for (int n = 1; n <= 128; ++n) ASSERT_EQ(again.rows[n][colDecode], b.rows[n][colDecode]);

    BatchRandom r;
    int low = 300, high = -1;
    for (int i = 0; i < 100000; ++i) {
        const int v = r.NextIndex();
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, kBatchToneMax);
}

TEST(BatchOptions, CellsUseTheChannelEditorTexts) {
    Batch b;
    b.in.fromChannel = 10;
    b.in.toChannel = 11;
    b.in.bcl = 0;  // Yes
    b.in.vox = 0;  // Yes
    b.in.power = 1;
    b.in.bandwidth = 1;
    b.in.scanAdd = 1;
    b.in.beatShift = 2;
    b.in.option = 1;
    b.in.name = "ab-1z";
    b.Apply();
    const ChannelRow& r = b.rows[11];  // Power .. Name
    EXPECT_EQ(Texts(r.begin() + colPower, r.end()),
              (Texts{"Low", "Narrow", "No", "Beat Shift2", "On", "On", "Compand", "AB-1Z"}));
    EXPECT_EQ(b.rows[9][colRxFreq], "");
    EXPECT_EQ(b.rows[12][colRxFreq], "");

    // Defaults, and the texts of the language in use when Apply runs.
    Batch c;
    c.state.Language = 1;
    c.in.toChannel = 1;
    c.in.name = "[%/=]";
    c.Apply();
    const ChannelRow& z = c.rows[1];
    const std::string off = LoadText(1, 1150);
    EXPECT_EQ(Texts(z.begin() + colPower, z.end()),
              (Texts{LoadText(1, 1147), LoadText(1, 1145), LoadText(1, 1151), off, off, off, off,
                     ""}));  // none of the name's characters can be stored
}

TEST(BatchRange, ReversedOrOutsideRangesWriteNothingOutside) {
    Batch b;
    b.in.fromChannel = 5;
    b.in.toChannel = 3;
    const ChannelRows before = b.rows;
    b.Apply();
    EXPECT_EQ(b.rows, before);

    b.in.fromChannel = 0;
    b.in.toChannel = 200;
    b.in.rxText = "145.00000";
    b.Apply();
    EXPECT_EQ(b.rows[0], before[0]);
    EXPECT_EQ(b.rows.size(), 129u);
    EXPECT_EQ(b.Rx(1), "145.00000");  // k counts from channel 0
    EXPECT_EQ(b.Rx(128), "145.00000");
}

TEST(BatchFields, RangeFieldRules) {
    EXPECT_EQ(RangeFieldChanged("200", 128), "128");
    EXPECT_EQ(RangeFieldChanged("007x", 128), "7");
    EXPECT_EQ(RangeFieldChanged("", 128), "");
    EXPECT_EQ(RangeFieldKeyDown("1", FieldKey::Up, 128), "128");
    EXPECT_EQ(RangeFieldKeyDown("128", FieldKey::Down, 128), "1");
    EXPECT_EQ(RangeFieldKeyDown("5", FieldKey::Up, 128), "4");
    EXPECT_EQ(RangeFieldKeyDown("", FieldKey::Other, 128), "0");

    std::string from = "5", to = "3";
    ValidateRangeFields(from, to, true, 128);
    EXPECT_EQ(from, "5");
    EXPECT_EQ(to, "5");
    from = "9";
    to = "0";
    ValidateRangeFields(from, to, false, 128);
    EXPECT_EQ(to, "1");
    EXPECT_EQ(from, "1");
    from = "";
    to = "999";
    ValidateRangeFields(from, to, true, 128);
    EXPECT_EQ(from, "1");
    EXPECT_EQ(to, "999");  // only the field being validated is clamped
}

TEST(BatchFields, IntervalStepAndFrequencyRules) {
    EXPECT_EQ(IntervalChanged("25"), "20");
    EXPECT_EQ(IntervalChanged("7"), "7");
    EXPECT_EQ(IntervalKeyDown("0", FieldKey::Up), "20");
    EXPECT_EQ(IntervalKeyDown("20", FieldKey::Down), "0");
    EXPECT_EQ(ValidateInterval(""), "0");
    EXPECT_EQ(ValidateInterval("05"), "5");

    EXPECT_EQ(BatchStepChanged("1500"), "1000");
    EXPECT_EQ(BatchStepChanged("12.5"), "12.5");
    EXPECT_EQ(ValidateBatchStep("12.50"), "12.5");
    EXPECT_EQ(ValidateBatchStep("6.25"), "6.25");
    EXPECT_EQ(ValidateBatchStep("2"), "5");
    EXPECT_EQ(ValidateBatchStep(""), "0");
    EXPECT_EQ(ValidateBatchStep("25"), "25");

    Module1 s;
    // The start is checked as CheckFreqBatch checks (freqcodec_test).
    const FieldCheck empty = ValidateBatchStartFreq(s, "");
    EXPECT_EQ(empty.text, "100.00000");
    EXPECT_TRUE(empty.outOfRange);

    EXPECT_EQ(ValidateBatchOffset(s, "5").text, "5.00000");
    EXPECT_EQ(ValidateBatchOffset(s, "0.6").text, "0.60000");
    EXPECT_EQ(ValidateBatchOffset(s, "12.3456").text, "12.34500");
    EXPECT_FALSE(ValidateBatchOffset(s, "449.99").outOfRange);
    const FieldCheck big = ValidateBatchOffset(s, "450");
    EXPECT_EQ(big.text, "449.99500");
    EXPECT_TRUE(big.outOfRange);
}

TEST(BatchFields, FloatText) {
    EXPECT_EQ(SingleText(145.0125f), "145.0125");
    EXPECT_EQ(SingleText(145.00625f), "145.0063");
    EXPECT_EQ(SingleText(550.0f), "550");
    EXPECT_EQ(SingleText(100.1f), "100.1");
}

TEST(BatchRows, FilledRowsStoreAndLoadBackUnchanged) {
    Module1 s;
    ChannelRows rows = MakeChannelRows(s);
    LoadChannelRows(s, rows);
    BatchInputs in;
    in.fromChannel = 1;
    in.toChannel = 3;
    in.rxText = "145.00000";
    in.rxStepText = "6.25";
    in.txMode = txOffset;
    in.offsetText = "0.6";
    in.offsetPlus = false;
    in.decodeIndex = 9;  // 88.5
    in.encodeSameAsDecode = false;
    in.encodeIndex = 52;  // D023N
    in.bcl = 0;
    in.vox = 0;
    in.name = "AB-1";
    BatchRandom random;
    ApplyBatch(s, in, random, rows);
    SaveChannelRows(s, rows);

    const std::uint8_t* ch1 = &s.Image[0];
    EXPECT_EQ(ch1[0], 0x05);
    EXPECT_EQ(ch1[1], 0xAA);
    EXPECT_EQ(ch1[2] & 0x80, 0);           // VOX on
    EXPECT_EQ(ch1[5] >> 6, 2);             // transmit below receive
    EXPECT_EQ(ch1[3] * 256 + ch1[4], 6);   // 600 kHz offset, whole 100 kHz units
    EXPECT_EQ(ch1[6], 8);                  // 88.5
    EXPECT_EQ(ch1[7], 1);                  // D023N
    EXPECT_EQ(ch1[9] & 0x07, 5);           // CTCSS decode, DCS encode
    EXPECT_EQ(ch1[8] & 0x10, 0);           // BCL on
    EXPECT_EQ(s.Image[14 + 2] & 0x1F, 1);  // channel 2: 145.00625, one 6.25 kHz step
    EXPECT_EQ(s.Image[42], 0xFF);          // channel 4 stays empty
    ChannelRows back = MakeChannelRows(s);
    LoadChannelRows(s, back);
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(back[n], rows[n]) << n;
    EXPECT_EQ(back[2][colTxFreq], "144.40625");
    EXPECT_EQ(back[4][colRxFreq], "");
}
