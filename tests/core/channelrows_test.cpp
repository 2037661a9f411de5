#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "channels/ChannelRecord.h"
#include "channels/ChannelRows.h"

using namespace rm427;

namespace {

using Record = std::vector<std::uint8_t>;

Record RecordOf(const Module1& s, int n) {
    const auto at = s.Image.begin() + ChannelOffset(n);
    return Record(at, at + kChannelRecordSize);
}

// A row as the editor fills a new channel, with transmit frequency tx.
ChannelRow NewChannel(const std::string& rx, const std::string& tx = "") {
    return {"",    rx, tx.empty() ? rx : tx, "None", "None", "High", "Wide", "Yes", "Off", "Off", "Off",
            "Off", ""};
}

// Saves row as channel 1 of a new image.
Module1 SaveOne(const ChannelRow& row) {
    Module1 s;
    ChannelRows rows = MakeChannelRows(s);
    std::copy(row.begin() + 1, row.end(), rows[1].begin() + 1);
    SaveChannelRows(s, rows);
    return s;
}

ChannelRows Load(Module1& s) {
    ChannelRows rows = MakeChannelRows(s);
    LoadChannelRows(s, rows);
    return rows;
}

std::vector<bool> RecordMask() {
    std::vector<bool> m(kImageSize, false);
    for (int n = 1; n <= kMaxChannels; ++n)
        for (int k = 0; k < kChannelRecordSize; ++k) m[ChannelOffset(n) + k] = true;
    return m;
}

}  // namespace

TEST(ChannelRecordBytes, WorkedExamples) {
    EXPECT_EQ(ChannelOffset(19), 0x200);
    EXPECT_EQ(ChannelOffset(128), 0xE0E);

    Module1 s = SaveOne(NewChannel("145.00000"));
    EXPECT_EQ(RecordOf(s, 1), (Record{0x05, 0xAA, 0xE0, 0x00, 0x0A, 0xE0, 0x00, 0x00, 0xFE, 0x6E, 0xFF,
                                      0xFF, 0xFF, 0xFF}));
    ChannelRows rows = Load(s);
    EXPECT_EQ(rows[1], (ChannelRow{"1", "145.00000", "145.00000", "None", "None", "High", "Wide", "Yes",
                                   "Off", "Off", "Off", "Off", ""}));

    s = SaveOne(NewChannel("145.00625"));
    EXPECT_EQ(RecordOf(s, 1)[9] >> 4, 0x4);
    EXPECT_EQ(RecordOf(s, 1)[2] & 0x1F, 1);
    EXPECT_EQ(s.FreqStep, 625);

    s = SaveOne(NewChannel("438.50000", "433.50000"));
    Record r = RecordOf(s, 1);
    EXPECT_EQ((Record{r[0], r[1], r[3], r[4]}), (Record{0x11, 0x21, 0x00, 0x32}));
    EXPECT_EQ(r[5], 0xA0);  // direction 10, unused bit 5 kept, fraction 0
    EXPECT_EQ(Load(s)[1][colTxFreq], "433.50000");
    s = SaveOne(NewChannel("438.50625", "443.50625"));
    EXPECT_EQ(RecordOf(s, 1)[5] >> 6, 1);
    EXPECT_EQ(Load(s)[1][colTxFreq], "443.50625");

    ChannelRow row = NewChannel("145.00000");
    row[colDecode] = "88.5";
    row[colEncode] = "D023N";
    r = RecordOf(SaveOne(row), 1);
    EXPECT_EQ((Record{static_cast<std::uint8_t>(r[9] & 7), r[6], r[7]}), (Record{5, 8, 1}));
    row[colDecode] = "D023I";
    row[colEncode] = "None";
    s = SaveOne(row);
    r = RecordOf(s, 1);
    EXPECT_EQ((Record{static_cast<std::uint8_t>(r[9] & 7), r[6], r[7]}), (Record{4, 108, 0}));
    EXPECT_EQ(Load(s)[1][colDecode], "D023I");
    EXPECT_EQ(Load(s)[1][colEncode], "67.0");

    row = NewChannel("145.00000");
    row[colName] = "AB-1";  // codes 11, 12, 10, 1, 63
    s = SaveOne(row);
    r = RecordOf(s, 1);
    EXPECT_EQ(Record(r.begin() + 10, r.end()), (Record{0x2C, 0xC2, 0x81, 0xFC}));
    EXPECT_EQ(Load(s)[1][colName], "AB-1");

    row[colBeatShift] = "Beat Shift1";
    s = SaveOne(row);
    EXPECT_EQ(RecordOf(s, 1)[8] & 0x28, 0x08);  // bit 5 clear, bit 3 unchanged
    rows = Load(s);
    EXPECT_EQ(rows[1][colBeatShift], "Beat Shift1");
    rows[1][colBeatShift] = "Beat Shift2";
    SaveChannelRows(s, rows);
    EXPECT_EQ(RecordOf(s, 1)[8] & 0x28, 0x20);
    EXPECT_EQ(Load(s)[1][colBeatShift], "Beat Shift2");
}

// Every signalling pair, choice, raster and name character, and the
// records the program never writes: the golden images (channel_test).

TEST(ChannelRecordBytes, EmptyRecordsAndOpenPoints) {
    Module1 s;
    ChannelRows rows = Load(s);
    for (int c = 1; c < kChannelColumns; ++c) EXPECT_TRUE(rows[128][c].empty());
    std::fill_n(s.Image.begin() + ChannelOffset(5), 14, 0x00);
    rows[5][colName] = "XY";  // a name without a receive frequency
    SaveChannelRows(s, rows);
    Record r = RecordOf(s, 5);
    EXPECT_EQ(Record(r.begin(), r.begin() + 10), Record(10, 0xFF));
    EXPECT_NE(r[10], 0xFF);                    // the name is still written...
    EXPECT_TRUE(Load(s)[5][colName].empty());  // ...but not shown
    EXPECT_EQ(RecordOf(s, 6), Record(14, 0xFF));

    // Empty transmit cell: transmit = receive.
    ChannelRow row = NewChannel("446.00625");
    row[colTxFreq].clear();
    s = SaveOne(row);
    r = RecordOf(s, 1);
    EXPECT_EQ((Record{r[3], r[4], static_cast<std::uint8_t>(r[5] >> 6)}), (Record{0x00, 0x0A, 3}));
    EXPECT_EQ(Load(s)[1][colTxFreq], "446.00625");

    // Names: the first five characters; a UTF-8 character is one position.
    row = NewChannel("145.00000");
    row[colName] =
        "B\xC3\xA4"
        "cDEF";
    s = SaveOne(row);
    EXPECT_EQ(Load(s)[1][colName], "BDE");
}

TEST(ChannelRows, LoadNeverFailsAndSaveStaysInRecords) {
    std::mt19937 rng(427);
    const std::vector<bool> mask = RecordMask();
    for (int round = 0; round < 20; ++round) {
        Module1 s;
        for (auto& b : s.Image) b = static_cast<std::uint8_t>(rng());
        const CodeplugImage before = s.Image;
        ChannelRows rows = Load(s);
        SaveChannelRows(s, rows);
        for (int a = 0; a < kImageSize; ++a) {
            if (!mask[a]) {
                ASSERT_EQ(s.Image[a], before[a]) << "offset " << a;
            }
        }
    }
    // A channel count past the table writes no further than record 128.
    Module1 s;
    s.CHCount = 200;
    ChannelRows rows = MakeChannelRows(s);
    for (std::size_t n = 1; n < rows.size(); ++n) rows[n] = NewChannel("145.00000");
    const CodeplugImage before = s.Image;
    SaveChannelRows(s, rows);
    for (int a = 0; a < kImageSize; ++a) {
        if (!mask[a]) {
            ASSERT_EQ(s.Image[a], before[a]) << "offset " << a;
        }
    }
}

TEST(ChannelRows, RowOperationsAtTheEnds) {
    Module1 s;
    ChannelRows rows = MakeChannelRows(s);
    rows[1] = NewChannel("145.00000");
    rows[1][colChannel] = "1";
    rows[128] = NewChannel("146.00000");
    rows[128][colChannel] = "128";
    const ChannelRows start = rows;
    s.CurCHRow = 1;
    ChannelUp(s, rows);
    s.CurCHRow = 128;
    ChannelDown(s, rows);
    EXPECT_EQ(s.CurCHRow, 128);
    for (int bad : {0, -1, 129}) {
        s.CurCHRow = bad;
        ChannelUp(s, rows);
        ChannelDown(s, rows);
        ChannelDelete(s, rows);
        EXPECT_EQ(s.CurCHRow, bad);
    }
    EXPECT_EQ(rows, start);

    s.CurCHRow = 1;
    ChannelDown(s, rows);
    EXPECT_EQ(s.CurCHRow, 2);
    EXPECT_EQ(rows[2][colRxFreq], "145.00000");
    EXPECT_EQ(rows[2][colChannel], "2");  // numbers never move
    EXPECT_TRUE(rows[1][colRxFreq].empty());
    ChannelUp(s, rows);
    EXPECT_EQ(s.CurCHRow, 1);
    EXPECT_EQ(rows, start);
    s.CurCHRow = 128;
    ChannelUp(s, rows);
    EXPECT_EQ(s.CurCHRow, 127);
    ChannelDelete(s, rows);
    EXPECT_TRUE(rows[127][colRxFreq].empty());
    EXPECT_EQ(rows[127][colChannel], "127");
}
