#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "channels/ChannelRecord.h"
#include "channels/ChannelRows.h"
#include "channels/ToneCodec.h"

using namespace rm427;

namespace {

using Record = std::vector<std::uint8_t>;

Record RecordOf(const Module1& s, int n) {
    const int a = ChannelOffset(n);
    return Record(s.Image.begin() + a, s.Image.begin() + a + kChannelRecordSize);
}

void SetRecord(Module1& s, int n, const Record& r) {
    std::copy(r.begin(), r.end(), s.Image.begin() + ChannelOffset(n));
}

// A row as the editor fills a new channel: transmit = receive and the defaults.
ChannelRow NewChannel(const std::string& rx) {
    ChannelRow r;
    r[colRxFreq] = rx;
    r[colTxFreq] = rx;
    r[colDecode] = "None";
    r[colEncode] = "None";
    r[colPower] = "High";
    r[colBandwidth] = "Wide";
    r[colScanAdd] = "Yes";
    r[colBeatShift] = "Off";
    r[colBCL] = "Off";
    r[colVOX] = "Off";
    r[colOption] = "Off";
    return r;
}

// Saves row into channel n of a new image and returns the state.
Module1 SaveOne(const ChannelRow& row, int n = 1) {
    Module1 s;
    ChannelRows rows = MakeChannelRows(s);
    for (int c = 1; c < kChannelColumns; ++c) rows[n][c] = row[c];
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

TEST(ChannelTable, Offsets) {
    EXPECT_EQ(ChannelOffset(1), 0);
    EXPECT_EQ(ChannelOffset(18), 14 * 17);
    EXPECT_EQ(ChannelOffset(19), 0x200);
    EXPECT_EQ(ChannelOffset(127), 0xE00);
    EXPECT_EQ(ChannelOffset(128), 0xE0E);
}

TEST(ChannelTitles, BothLanguages) {
    Module1 s;
    ChannelRows rows = MakeChannelRows(s);
    ASSERT_EQ(rows.size(), 129u);
    EXPECT_EQ(rows[0][0], "CH.");
    EXPECT_EQ(rows[0][8], "Beat Shift");
    EXPECT_EQ(rows[0][12], "Name");
    EXPECT_EQ(rows[128][0], "128");
    s.Language = 1;
    SetColumnTitles(s, rows);
    EXPECT_EQ(rows[0][8], "拍频偏移");
}

// The worked records, byte for byte.
TEST(ChannelRecordBytes, SimplexAt5k) {
    Module1 s = SaveOne(NewChannel("145.00000"));
    EXPECT_EQ(RecordOf(s, 1), (Record{0x05, 0xAA, 0xE0, 0x00, 0x0A, 0xE0, 0x00, 0x00, 0xFE, 0x6E,
                                      0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(s.FreqStep, 500);
    ChannelRows rows = Load(s);
    EXPECT_EQ(rows[1][colRxFreq], "145.00000");
    EXPECT_EQ(rows[1][colTxFreq], "145.00000");
    for (int c = 3; c < kChannelColumns; ++c) EXPECT_EQ(rows[1][c], NewChannel("")[c]) << c;
}

TEST(ChannelRecordBytes, ReceiveOn625Raster) {
    Module1 s = SaveOne(NewChannel("145.00625"));
    const Record r = RecordOf(s, 1);
    EXPECT_EQ(r[9] >> 4, 0x4);
    EXPECT_EQ(r[2] & 0x1F, 1);
    EXPECT_EQ(s.FreqStep, 625);
    EXPECT_EQ(Load(s)[1][colRxFreq], "145.00625");
}

TEST(ChannelRecordBytes, NegativeShift) {
    ChannelRow row = NewChannel("438.50000");
    row[colTxFreq] = "433.50000";
    Module1 s = SaveOne(row);
    const Record r = RecordOf(s, 1);
    EXPECT_EQ(r[0], 0x11);
    EXPECT_EQ(r[1], 0x21);
    EXPECT_EQ(r[3], 0x00);
    EXPECT_EQ(r[4], 0x32);
    EXPECT_EQ(r[5] >> 6, 2);
    EXPECT_EQ(r[5] & 0x1F, 0);
    EXPECT_EQ(r[5] & 0x20, 0x20);  // unused bit kept
    ChannelRows rows = Load(s);
    EXPECT_EQ(rows[1][colTxFreq], "433.50000");
    // And the positive direction.
    row[colTxFreq] = "443.50625";
    row[colRxFreq] = "438.50625";
    s = SaveOne(row);
    EXPECT_EQ(RecordOf(s, 1)[5] >> 6, 1);
    EXPECT_EQ(Load(s)[1][colTxFreq], "443.50625");
}

TEST(ChannelRecordBytes, Signalling) {
    ChannelRow row = NewChannel("145.00000");
    row[colDecode] = "88.5";
    row[colEncode] = "D023N";
    Record r = RecordOf(SaveOne(row), 1);
    EXPECT_EQ(r[9] & 7, 5);
    EXPECT_EQ(r[6], 8);
    EXPECT_EQ(r[7], 1);

    row[colDecode] = "D023I";
    row[colEncode] = "None";
    Module1 s = SaveOne(row);
    r = RecordOf(s, 1);
    EXPECT_EQ(r[9] & 7, 4);
    EXPECT_EQ(r[6], 108);
    EXPECT_EQ(r[7], 0);
    ChannelRows rows = Load(s);
    EXPECT_EQ(rows[1][colDecode], "D023I");
    EXPECT_EQ(rows[1][colEncode], "67.0");

    // Type and bit 3 of byte 9 for every family pair.
    struct Case { const char* dec; const char* enc; int type; bool bit3; };
    const Case cases[] = {
        {"None", "None", 6, true},  {"None", "67.0", 0, true},   {"None", "D754I", 2, true},
        {"67.0", "None", 1, true},  {"D017N", "None", 4, true},  {"67.0", "254.1", 1, false},
        {"D017N", "67.0", 4, true}, {"67.0", "D017N", 5, true},  {"D017N", "D754I", 3, true},
        {"bogus", "junk", 6, true},
    };
    for (const Case& c : cases) {
        row[colDecode] = c.dec;
        row[colEncode] = c.enc;
        r = RecordOf(SaveOne(row), 1);
        EXPECT_EQ(r[9] & 7, c.type) << c.dec << "/" << c.enc;
        EXPECT_EQ((r[9] & 8) != 0, c.bit3) << c.dec << "/" << c.enc;
    }
}

TEST(ChannelRecordBytes, NameAndBeatShift) {
    ChannelRow row = NewChannel("145.00000");
    row[colName] = "AB-1";
    Module1 s = SaveOne(row);
    Record r = RecordOf(s, 1);
    std::uint8_t codes[5];
    UnpackNameCodes(&r[10], codes);
    EXPECT_EQ((Record{codes, codes + 5}), (Record{11, 12, 10, 1, 63}));
    EXPECT_EQ((Record{r.begin() + 10, r.end()}), (Record{0x2C, 0xC2, 0x81, 0xFC}));
    EXPECT_EQ(Load(s)[1][colName], "AB-1");

    row[colBeatShift] = "Beat Shift1";
    s = SaveOne(row);
    EXPECT_EQ(RecordOf(s, 1)[8] & 0x28, 0x08);  // bit 5 clear, bit 3 unchanged
    ChannelRows rows = Load(s);
    EXPECT_EQ(rows[1][colBeatShift], "Beat Shift1");
    rows[1][colBeatShift] = "Beat Shift2";
    SaveChannelRows(s, rows);
    EXPECT_EQ(RecordOf(s, 1)[8] & 0x28, 0x20);
    EXPECT_EQ(Load(s)[1][colBeatShift], "Beat Shift2");
    rows[1][colBeatShift] = "Off";
    SaveChannelRows(s, rows);
    EXPECT_EQ(RecordOf(s, 1)[8] & 0x28, 0x28);
}

TEST(ChannelRecordBytes, EmptyRecords) {
    Module1 s;
    ChannelRows rows = Load(s);
    for (int n = 1; n <= 128; ++n)
        for (int c = 1; c < kChannelColumns; ++c) ASSERT_TRUE(rows[n][c].empty());
    SetRecord(s, 5, Record(14, 0x00));
    rows[5][colName] = "XY";  // a name without a receive frequency
    SaveChannelRows(s, rows);
    Record r = RecordOf(s, 5);
    EXPECT_EQ((Record{r.begin(), r.begin() + 10}), Record(10, 0xFF));
    EXPECT_NE(r[10], 0xFF);  // the name is still written...
    EXPECT_TRUE(Load(s)[5][colName].empty());  // ...but not shown
    EXPECT_EQ(RecordOf(s, 6), Record(14, 0xFF));
}

TEST(ChannelRows, LeftOpenPoints) {
    // Empty transmit cell: stored as transmit = receive.
    ChannelRow row = NewChannel("446.00625");
    row[colTxFreq].clear();
    row[colEncode].clear();
    Module1 s = SaveOne(row);
    Record r = RecordOf(s, 1);
    EXPECT_EQ(r[5] >> 6, 3);
    EXPECT_EQ(r[3], 0x00);
    EXPECT_EQ(r[4], 0x0A);
    EXPECT_EQ(Load(s)[1][colTxFreq], "446.00625");

    // Longer names store their first five characters; other characters are lost.
    row = NewChannel("145.00000");
    row[colName] = "CADY11";
    s = SaveOne(row);
    EXPECT_EQ(Load(s)[1][colName], "CADY1");
    row[colName] = "B\xC3\xA4" "cDEF";  // a two-byte character and lower case
    s = SaveOne(row);
    std::uint8_t codes[5];
    UnpackNameCodes(&RecordOf(s, 1)[10], codes);
    EXPECT_EQ((Record{codes, codes + 5}), (Record{12, 63, 63, 14, 15}));
    EXPECT_EQ(Load(s)[1][colName], "BDE");

    // Name codes 41..62 and tone codes past the list show nothing / "None".
    s = SaveOne(NewChannel("145.00000"));
    r = RecordOf(s, 1);
    const std::uint8_t odd[5] = {11, 41, 12, 62, 13};
    PackNameCodes(odd, &r[10]);
    r[9] = static_cast<std::uint8_t>((r[9] & 0xF8) | 3);  // DCS / DCS
    r[6] = 214;
    r[7] = 255;
    SetRecord(s, 1, r);
    ChannelRows rows = Load(s);
    EXPECT_EQ(rows[1][colName], "ABC");
    EXPECT_EQ(rows[1][colDecode], "None");
    EXPECT_EQ(rows[1][colEncode], "None");

    // A fraction the program never writes carries into the whole part.
    r[2] = static_cast<std::uint8_t>((r[2] & 0xE0) | 20);  // 20 * 5 kHz
    SetRecord(s, 1, r);
    EXPECT_EQ(Load(s)[1][colRxFreq], "145.10000");
}

TEST(ChannelRows, LoadNeverFailsAndSaveStaysInRecords) {
    std::mt19937 rng(427);
    const std::vector<bool> mask = RecordMask();
    const auto tones = ToneList(0);
    for (int round = 0; round < 20; ++round) {
        Module1 s;
        for (auto& b : s.Image) b = static_cast<std::uint8_t>(rng());
        const CodeplugImage before = s.Image;
        ChannelRows rows = Load(s);
        for (int n = 1; n <= 128; ++n) {
            if (rows[n][colRxFreq].empty()) continue;
            EXPECT_NE(std::find(tones.begin(), tones.end(), rows[n][colDecode]), tones.end());
            EXPECT_NE(std::find(tones.begin(), tones.end(), rows[n][colEncode]), tones.end());
            EXPECT_LE(rows[n][colName].size(), 5u);
        }
        ChannelDown(s, rows);
        s.CurCHRow = 77;
        ChannelDelete(s, rows);
        SaveChannelRows(s, rows);
        for (int a = 0; a < kImageSize; ++a) {
            if (!mask[a]) { ASSERT_EQ(s.Image[a], before[a]) << "offset " << a; }
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
        if (!mask[a]) { ASSERT_EQ(s.Image[a], before[a]) << "offset " << a; }
    }
    LoadChannelRows(s, rows);
}

TEST(ChannelRows, RoundTripsOverTonesOptionsAndRasters) {
    const auto tones = ToneList(0);
    const char* powers[] = {"High", "Mid", "Low"};
    const char* bws[] = {"Wide", "Narrow"};
    const char* yesno[] = {"Yes", "No"};
    const char* shifts[] = {"Off", "Beat Shift1", "Beat Shift2"};
    const char* onoff[] = {"Off", "On"};
    const char* options[] = {"Off", "Compand", "Scramble"};
    const char* rasters[][2] = {{"145.12500", "145.72500"}, {"438.50625", "433.50625"},
                                {"146.01250", "146.01250"}, {"440.00625", "445.10625"}};
    Module1 s;
    ChannelRows rows = MakeChannelRows(s);
    int n = 0;
    // Every tone as decode and as encode, cycling through every option value.
    for (int t = 0; t < 265 * 2; ++t) {
        n = n % 128 + 1;
        ChannelRow& row = rows[n];
        row[colRxFreq] = rasters[t % 4][0];
        row[colTxFreq] = rasters[t % 4][1];
        row[colDecode] = t < 265 ? tones[t] : tones[(t * 7) % 265];
        row[colEncode] = t < 265 ? tones[(t * 11 + 1) % 264 + 1] : tones[t - 265 == 0 ? 1 : t - 265];
        row[colPower] = powers[t % 3];
        row[colBandwidth] = bws[t % 2];
        row[colScanAdd] = yesno[(t / 2) % 2];
        row[colBeatShift] = shifts[(t / 3) % 3];
        row[colBCL] = onoff[(t / 4) % 2];
        row[colVOX] = onoff[(t / 5) % 2];
        row[colOption] = options[(t / 6) % 3];
        row[colName] = std::string(1, kNameChars[t % 41]) + kNameChars[(t / 41) % 41] + "Z_ 9";
        if (n == 128 || t == 265 * 2 - 1) {
            SaveChannelRows(s, rows);
            const CodeplugImage saved = s.Image;
            ChannelRows back = Load(s);
            for (int k = 1; k <= 128; ++k) {
                ChannelRow want = rows[k];
                if (want[colDecode] != "None" && want[colEncode] == "None") want[colEncode] = "67.0";
                want[colName] = want[colName].substr(0, 5);
                ASSERT_EQ(back[k], want) << "round " << t << " channel " << k;
            }
            // Saving what was loaded gives the same bytes.
            SaveChannelRows(s, back);
            ASSERT_EQ(s.Image, saved) << "round " << t;
        }
    }
}

TEST(ChannelRows, ChineseCellsStoreTheSameBytes) {
    ChannelRow row = NewChannel("145.00000");
    row[colPower] = "Mid";
    row[colOption] = "Compand";
    row[colBeatShift] = "Beat Shift2";
    row[colDecode] = "D023N";
    Module1 en = SaveOne(row);
    Module1 zh = en;
    zh.Language = 1;
    ChannelRows rows = Load(zh);
    EXPECT_EQ(rows[1][colPower], "中");
    EXPECT_EQ(rows[1][colBeatShift], "拍频偏移2");
    EXPECT_EQ(rows[2][colRxFreq], "");
    SaveChannelRows(zh, rows);
    EXPECT_EQ(zh.Image, en.Image);
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
    EXPECT_EQ(rows, start);
    EXPECT_EQ(s.CurCHRow, 1);
    s.CurCHRow = 128;
    ChannelDown(s, rows);
    EXPECT_EQ(rows, start);
    EXPECT_EQ(s.CurCHRow, 128);
    for (int bad : {0, -1, 129, 1000}) {
        s.CurCHRow = bad;
        ChannelUp(s, rows);
        ChannelDown(s, rows);
        ChannelDelete(s, rows);
        EXPECT_EQ(rows, start);
        EXPECT_EQ(s.CurCHRow, bad);
    }

    s.CurCHRow = 1;
    ChannelDown(s, rows);
    EXPECT_EQ(s.CurCHRow, 2);
    EXPECT_EQ(rows[2][colRxFreq], "145.00000");
    EXPECT_TRUE(rows[1][colRxFreq].empty());
    EXPECT_EQ(rows[1][colChannel], "1");  // numbers never move
    EXPECT_EQ(rows[2][colChannel], "2");
    ChannelUp(s, rows);
    EXPECT_EQ(s.CurCHRow, 1);
    EXPECT_EQ(rows, start);

    s.CurCHRow = 128;
    ChannelUp(s, rows);
    EXPECT_EQ(rows[127][colRxFreq], "146.00000");
    EXPECT_EQ(s.CurCHRow, 127);
    ChannelDelete(s, rows);
    EXPECT_TRUE(rows[127][colRxFreq].empty());
    EXPECT_EQ(rows[127][colChannel], "127");
}
