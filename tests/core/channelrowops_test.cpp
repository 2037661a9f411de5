// Many-channel operations and the clipboard forms of channels.
#include <gtest/gtest.h>

#include "channels/ChannelClipboard.h"
#include "channels/ChannelCsv.h"
#include "channels/ChannelRecord.h"
#include "channels/ChannelRowOps.h"

using namespace rm427;

namespace {

// Channels 1..128 with receive frequencies in MHz (0: an empty channel),
// channel n named "Cn".
ChannelList List(const std::vector<int>& mhz) {
    ChannelList list(kMaxChannels);
    for (std::size_t i = 0; i < mhz.size(); ++i)
        if (mhz[i]) list[i] = NewChannel(mhz[i] * 100000, "C" + std::to_string(i + 1));
    return list;
}

// Receive frequencies (MHz) of channels 1..n, 0 for an empty one.
std::vector<int> Rx(const ChannelList& list, int n) {
    std::vector<int> out;
    for (int i = 0; i < n; ++i)
        out.push_back(list[std::size_t(i)].programmed ? list[std::size_t(i)].rx / 100000 : 0);
    return out;
}

}  // namespace

TEST(ChannelRowOps, InsertRemoveAndMoveCarryWholeRecords) {
    ChannelList list = List({145, 146, 147});
    list[127] = list[0];
    list[1].record[record::kShift] = 0x20;  // a bit the program does not model
    EXPECT_EQ(ChannelsPushedOff(list, 1), 1);
    InsertChannels(list, 2, 1);
    EXPECT_EQ(Rx(list, 4), (std::vector<int>{145, 0, 146, 147}));
    EXPECT_EQ(list[2].name, "C2");
    EXPECT_EQ(list[2].record[record::kShift], 0x20);  // the record moved with it
    EXPECT_FALSE(list[127].programmed);
    EXPECT_EQ(ChannelsPushedOff(list, 1), 0);

    RemoveChannels(list, 1, 2);
    EXPECT_EQ(Rx(list, 3), (std::vector<int>{146, 147, 0}));
    EXPECT_FALSE(list[126].programmed || list[127].programmed);

    list = List({1, 2, 3, 4, 5});
    EXPECT_TRUE(MoveChannels(list, 2, 3, 1));  // block 2..3 one down
    EXPECT_EQ(Rx(list, 5), (std::vector<int>{1, 4, 2, 3, 5}));
    EXPECT_TRUE(MoveChannels(list, 3, 4, -2));
    EXPECT_EQ(Rx(list, 5), (std::vector<int>{2, 3, 1, 4, 5}));
    EXPECT_FALSE(MoveChannels(list, 1, 2, -1));  // would leave the list
    EXPECT_FALSE(MoveChannels(list, 127, 128, 1));

    // Nonsense ranges change nothing.
    const ChannelList before = list;
    InsertChannels(list, 0, 1);
    RemoveChannels(list, 129, 1);
    MoveChannels(list, 3, 2, 1);
    EXPECT_EQ(list, before);
}

TEST(ChannelRowOps, SortByValueToneOrderAndTextWithEmptiesLast) {
    ChannelList list = List({446, 0, 99, 145});
    list[0].decode = 51;  // D023N
    list[2].decode = 1;   // 67.0
    SortChannels(list, 1, 128, colRxFreq, true, 0);
    EXPECT_EQ(Rx(list, 4), (std::vector<int>{99, 145, 446, 0}));
    SortChannels(list, 1, 128, colRxFreq, false, 0);
    EXPECT_EQ(Rx(list, 4), (std::vector<int>{446, 145, 99, 0}));
    SortChannels(list, 1, 128, colDecode, true, 0);  // None, CTCSS, DCS
    EXPECT_EQ(Rx(list, 3), (std::vector<int>{145, 99, 446}));
    EXPECT_EQ(list[0].name, "C4");  // the whole channel moved

    // Only the given range; equal keys keep their order; texts by the language.
    list = List({3, 1, 2, 1});
    list[3].name = "SECND";
    SortChannels(list, 2, 4, colRxFreq, true, 0);
    EXPECT_EQ(Rx(list, 4), (std::vector<int>{3, 1, 1, 2}));
    EXPECT_EQ(list[2].name, "SECND");
    list[1].power = powerLow;
    SortChannels(list, 1, 4, colPower, true, 0);  // "High" < "Low"
    EXPECT_EQ(list[3].power, powerLow);
}

TEST(ChannelRowOps, CompactClosesGapsInOrder) {
    ChannelList list = List({0, 145, 0, 0, 146});
    std::swap(list[4], list[99]);
    EXPECT_TRUE(CompactChannels(list));
    EXPECT_EQ(Rx(list, 3), (std::vector<int>{145, 146, 0}));
    EXPECT_FALSE(list[99].programmed);
    EXPECT_FALSE(CompactChannels(list));
}

TEST(ChannelRowOps, FindWalksForwardAndWraps) {
    ChannelList list = List({0, 0, 438});
    list[0] = NewChannel(14550000);
    list[0].encode = 9;  // 88.5
    list[2].name = "RPT1";
    ChannelMatch m = FindChannel(list, "145.5", 1, 0, 0);
    EXPECT_EQ(m.row, 1);
    EXPECT_EQ(m.col, colRxFreq);
    m = FindChannel(list, "145.5", m.row, m.col, 0);  // transmit cell next
    EXPECT_EQ(m.col, colTxFreq);
    m = FindChannel(list, "rpt", 3, colName, 0);  // wraps round to itself
    EXPECT_EQ(m.row, 3);
    EXPECT_EQ(m.col, colName);
    m = FindChannel(list, "88.5", 3, 0, 0);
    EXPECT_EQ(m.row, 1);
    EXPECT_EQ(m.col, colEncode);
    EXPECT_EQ(FindChannel(list, "999", 1, 1, 0).row, 0);
    EXPECT_EQ(FindChannel(list, "", 1, 1, 0).row, 0);
}

TEST(ChannelClipboard, TabTextAndOwnCsvPasteBackWhereAsked) {
    Module1 s;
    ChannelList list = List({145, 0, 438});
    list[2].power = powerLow;
    PutChannelList(s, list);
    const ChannelRows rows = EnglishChannelRows(s.Image);
    const std::string tsv = ChannelsToTsv(rows, 1, 3);
    EXPECT_EQ(
        tsv.substr(0, tsv.find('\n')),
        "CH.\tRx Freq\tTx Freq\tDec.\tEnc.\tTX Power\tW/N\tScan Add\tBeat Shift\tBCL\tVOX\tOPTION\tName")
        << tsv;
    ChannelPaste paste;
    std::string error;
    ASSERT_TRUE(ReadChannelPaste(s, tsv, paste, error)) << error;
    ASSERT_EQ(paste.channels.size(), 3u);
    EXPECT_TRUE(paste.report.notes.empty());
    ChannelList target = List({});
    target[11].record[record::kShift] = 0x20;
    EXPECT_EQ(PlaceChannelPaste(target, 10, paste, 0), 0);
    EXPECT_TRUE(target[9].SameValue(list[0]));
    EXPECT_FALSE(target[10].programmed);
    EXPECT_TRUE(target[11].SameValue(list[2]));
    RecordBytes bytes;
    EncodeChannel(target[11], bytes.data());
    EXPECT_EQ(bytes[record::kShift] & 0x20, 0x20);  // the replaced record's bit stays

    // The own CSV keeps the gap between the channels too, in any language.
    const std::string csv = ChannelsToCsv(list);
    EXPECT_NE(csv.find("Channel,RxFreq"), std::string::npos);
    s.Language = 1;
    ASSERT_TRUE(ReadChannelPaste(s, csv, paste, error)) << error;
    ASSERT_EQ(paste.channels.size(), 3u);
    EXPECT_EQ(paste.channels[2][colPower], "低");
    // Pasted near the end, what does not fit is counted.
    EXPECT_EQ(PlaceChannelPaste(target, 127, paste, 1), 1);

    // A broken own-CSV line refuses the whole paste, as Import does (said
    // in the interface's language).
    EXPECT_FALSE(ReadChannelPaste(s, "Channel,RxFreq\n1,abc\n", paste, error));
    EXPECT_EQ(error, "第 2 行：接收频率“abc”不是数字");
}

TEST(ChannelClipboard, SpreadsheetCellsAreTakenWithNotes) {
    Module1 s;
    ChannelPaste paste;
    std::string error;
    // A spreadsheet column: frequencies alone, one with a decimal comma, one
    // out of range, then a line with a choice the radio does not know.
    ASSERT_TRUE(ReadChannelPaste(s, "145,5\n900\n438.1\t\t\tBogus\tLow\r\n", paste, error));
    ASSERT_EQ(paste.channels.size(), 2u);
    EXPECT_EQ(paste.channels[0][colRxFreq], "145.50000");
    EXPECT_EQ(paste.channels[0][colTxFreq], "145.50000");
    EXPECT_EQ(paste.channels[0][colPower], "High");  // what a new channel gets
    EXPECT_EQ(paste.channels[1][colRxFreq], "438.10000");
    EXPECT_EQ(paste.channels[1][colEncode], "None");
    EXPECT_EQ(paste.channels[1][colPower], "Low");
    EXPECT_EQ(paste.report.skipped, 1);
    EXPECT_EQ(paste.report.lineOf, (std::vector<int>{1, 3}));
    const std::vector<std::string> notes = paste.Notes(0);
    ASSERT_EQ(notes.size(), 2u) << notes[2];
    EXPECT_EQ(notes[0].rfind("line 2: receive frequency 900 is out of range", 0), 0u) << notes[0];
    EXPECT_EQ(notes[1], "line 3: Enc. \"Bogus\" taken as \"None\"");
    // A transmit cell that is no frequency leaves the line out.
    EXPECT_FALSE(ReadChannelPaste(s, "145\tX\n", paste, error));
    EXPECT_EQ(paste.report.skipped, 1);

    EXPECT_FALSE(ReadChannelPaste(s, "hello\n", paste, error));
    EXPECT_TRUE(error.empty());
}

TEST(ChannelClipboard, ManyRowsOrRowsOverChannelsGoThroughThePreview) {
    const ChannelList current = List({0, 0, 147});
    ChannelPaste paste;
    std::string error;
    // A copied block: an empty channel, two channels, a gap, one more.
    ASSERT_TRUE(ReadChannelPaste(Module1(), "\n145\n146\n\n148\n", paste, error));
    for (int at : {1, 10}) {
        const PasteImport p = PasteAsImport(paste, at, 0);
        EXPECT_EQ(PasteNeedsPreview(current, p, 0), at == 1);  // at 1, 146 replaces 147
        // What the preview stores is what the quiet paste stores.
        const ImportPlan plan = PlanImport(current, p.incoming, p.report, p.options, 0);
        ChannelList placed = current;
        PlaceChannelPaste(placed, at, paste, 0);
        EXPECT_TRUE(plan.channels == placed) << at;
    }
    ASSERT_TRUE(ReadChannelPaste(Module1(), "145\n146\n147\n148\n149\n150\n", paste, error));
    EXPECT_TRUE(PasteNeedsPreview(current, PasteAsImport(paste, 10, 0), 0));  // six, into empty ones
}
