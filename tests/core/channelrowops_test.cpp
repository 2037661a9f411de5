// Many-row operations and the clipboard forms of channels.
#include <gtest/gtest.h>

#include "channels/ChannelClipboard.h"
#include "channels/ChannelCsv.h"
#include "channels/ChannelRowOps.h"

using namespace rm427;

namespace {

ChannelRow Channel(const std::string& rx, const std::string& name = "", const std::string& dec = "None",
                   const std::string& power = "High") {
    return {"", rx, rx, dec, "None", power, "Wide", "Yes", "Off", "Off", "Off", "Off", name};
}

// Channels 1..n with receive frequencies, "" for an empty channel.
ChannelRows Table(const std::vector<std::string>& rx) {
    Module1 s;
    ChannelRows rows = MakeChannelRows(s);
    for (std::size_t i = 0; i < rx.size(); ++i)
        if (!rx[i].empty()) {
            ChannelRow r = Channel(rx[i], "C" + std::to_string(i + 1));
            std::copy(r.begin() + 1, r.end(), rows[i + 1].begin() + 1);
        }
    return rows;
}

// Receive cells of channels 1..n.
std::vector<std::string> Rx(const ChannelRows& rows, int n) {
    std::vector<std::string> out;
    for (int r = 1; r <= n; ++r) out.push_back(rows[r][colRxFreq]);
    return out;
}

}  // namespace

TEST(ChannelRowOps, InsertRemoveAndMoveKeepNumbersAndCells) {
    ChannelRows rows = Table({"145.00000", "146.00000", "147.00000"});
    rows[128] = rows[1];
    rows[128][colChannel] = "128";
    EXPECT_EQ(ChannelsPushedOff(rows, 1), 1);
    InsertChannels(rows, 2, 1);
    EXPECT_EQ(Rx(rows, 4), (std::vector<std::string>{"145.00000", "", "146.00000", "147.00000"}));
    EXPECT_EQ(rows[3][colName], "C2");
    EXPECT_EQ(rows[3][colChannel], "3");  // the number stays with the row
    EXPECT_TRUE(rows[128][colRxFreq].empty());
    EXPECT_EQ(ChannelsPushedOff(rows, 1), 0);

    RemoveChannels(rows, 1, 2);
    EXPECT_EQ(Rx(rows, 3), (std::vector<std::string>{"146.00000", "147.00000", ""}));
    EXPECT_TRUE(rows[127][colRxFreq].empty());
    EXPECT_TRUE(rows[128][colRxFreq].empty());

    rows = Table({"1", "2", "3", "4", "5"});
    EXPECT_TRUE(MoveChannels(rows, 2, 3, 1));  // block 2..3 one down
    EXPECT_EQ(Rx(rows, 5), (std::vector<std::string>{"1", "4", "2", "3", "5"}));
    EXPECT_TRUE(MoveChannels(rows, 3, 4, -2));
    EXPECT_EQ(Rx(rows, 5), (std::vector<std::string>{"2", "3", "1", "4", "5"}));
    EXPECT_FALSE(MoveChannels(rows, 1, 2, -1));  // would leave the table
    EXPECT_FALSE(MoveChannels(rows, 127, 128, 1));
    EXPECT_EQ(Rx(rows, 5), (std::vector<std::string>{"2", "3", "1", "4", "5"}));

    // Insert on the last channel drops it; nonsense ranges change nothing.
    const ChannelRows before = rows;
    InsertChannels(rows, 0, 1);
    RemoveChannels(rows, 129, 1);
    MoveChannels(rows, 3, 2, 1);
    EXPECT_EQ(rows, before);
}

TEST(ChannelRowOps, SortByValueToneOrderAndTextWithEmptiesLast) {
    ChannelRows rows = Table({"446.00000", "", "99.50000", "145.00000"});
    rows[1][colDecode] = "D023N";
    rows[3][colDecode] = "67.0";
    rows[4][colDecode] = "None";
    SortChannels(rows, 1, 128, colRxFreq, true, 0);
    // 99.5 sorts before 145 by value, not by text.
    EXPECT_EQ(Rx(rows, 4), (std::vector<std::string>{"99.50000", "145.00000", "446.00000", ""}));
    SortChannels(rows, 1, 128, colRxFreq, false, 0);
    EXPECT_EQ(Rx(rows, 4), (std::vector<std::string>{"446.00000", "145.00000", "99.50000", ""}));
    SortChannels(rows, 1, 128, colDecode, true, 0);  // None, CTCSS, DCS
    EXPECT_EQ(rows[1][colDecode], "None");
    EXPECT_EQ(rows[2][colDecode], "67.0");
    EXPECT_EQ(rows[3][colDecode], "D023N");
    EXPECT_EQ(rows[1][colName], "C4");  // the whole channel moved

    // Only the given range; equal keys keep their order.
    rows = Table({"3", "1", "2", "1"});
    rows[2][colName] = "FIRST";
    rows[4][colName] = "SECND";
    SortChannels(rows, 2, 4, colRxFreq, true, 0);
    EXPECT_EQ(Rx(rows, 4), (std::vector<std::string>{"3", "1", "1", "2"}));
    EXPECT_EQ(rows[2][colName], "FIRST");
    EXPECT_EQ(rows[3][colName], "SECND");
}

TEST(ChannelRowOps, CompactClosesGapsInOrder) {
    ChannelRows rows = Table({"", "145.00000", "", "", "146.00000"});
    rows[100] = rows[5];
    ClearChannel(rows[5]);
    rows[100][colChannel] = "100";
    EXPECT_TRUE(CompactChannels(rows));
    EXPECT_EQ(Rx(rows, 3), (std::vector<std::string>{"145.00000", "146.00000", ""}));
    EXPECT_EQ(rows[1][colChannel], "1");
    EXPECT_TRUE(rows[100][colRxFreq].empty());
    EXPECT_FALSE(CompactChannels(rows));
}

TEST(ChannelRowOps, FindWalksForwardAndWraps) {
    ChannelRows rows = Table({"145.50000", "", "438.12500"});
    rows[3][colName] = "RPT1";
    rows[1][colEncode] = "88.5";
    ChannelMatch m = FindChannel(rows, "145.5", 1, 0);
    EXPECT_EQ(m.row, 1);
    EXPECT_EQ(m.col, colRxFreq);
    m = FindChannel(rows, "145.5", m.row, m.col);  // transmit cell next
    EXPECT_EQ(m.col, colTxFreq);
    m = FindChannel(rows, "rpt", 3, colName);  // wraps round to itself
    EXPECT_EQ(m.row, 3);
    EXPECT_EQ(m.col, colName);
    m = FindChannel(rows, "88.5", 3, 0);
    EXPECT_EQ(m.row, 1);
    EXPECT_EQ(m.col, colEncode);
    EXPECT_EQ(FindChannel(rows, "999", 1, 1).row, 0);
    EXPECT_EQ(FindChannel(rows, "", 1, 1).row, 0);
}

TEST(ChannelClipboard, TabTextAndOwnCsvPasteBackWhereAsked) {
    Module1 s;
    ChannelRows rows = Table({"145.00000", "", "438.12500"});
    rows[3][colPower] = "Low";
    const std::string tsv = ChannelsToTsv(rows, 1, 3);
    EXPECT_EQ(
        tsv.substr(0, tsv.find('\n')),
        "CH.\tRx Freq\tTx Freq\tDec.\tEnc.\tTX Power\tW/N\tScan Add\tBeat Shift\tBCL\tVOX\tOPTION\tName")
        << tsv;
    ChannelPaste paste;
    std::string error;
    ASSERT_TRUE(ReadChannelPaste(s, tsv, paste, error)) << error;
    ASSERT_EQ(paste.channels.size(), 3u);
    EXPECT_TRUE(paste.notes.empty()) << paste.notes.front();
    ChannelRows target = Table({});
    EXPECT_EQ(PlaceChannelPaste(target, 10, paste), 0);
    EXPECT_EQ(Rx(target, 12)[9], "145.00000");
    EXPECT_TRUE(target[11][colRxFreq].empty());
    EXPECT_EQ(target[12][colPower], "Low");
    EXPECT_EQ(target[12][colName], "C3");

    // The own CSV keeps the gap between the channels too, in any language.
    const std::string csv = ChannelsToOwnCsv(s, rows, 1, 3);
    EXPECT_NE(csv.find("Channel,RxFreq"), std::string::npos);
    s.Language = 1;
    ASSERT_TRUE(ReadChannelPaste(s, csv, paste, error)) << error;
    ASSERT_EQ(paste.channels.size(), 3u);
    EXPECT_EQ(paste.channels[2][colPower], "低");
    // Pasted near the end, what does not fit is counted.
    EXPECT_EQ(PlaceChannelPaste(target, 127, paste), 1);

    // A broken own-CSV line refuses the whole paste, as Import does.
    EXPECT_FALSE(ReadChannelPaste(s, "Channel,RxFreq\n1,abc\n", paste, error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
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
    EXPECT_EQ(paste.skipped, 1);
    ASSERT_EQ(paste.notes.size(), 2u) << paste.notes[2];
    EXPECT_NE(paste.notes[0].find("line 2"), std::string::npos);
    EXPECT_NE(paste.notes[1].find("line 3: Enc. \"Bogus\" taken as \"None\""), std::string::npos)
        << paste.notes[1];
    // A transmit cell that is no frequency leaves the line out.
    EXPECT_FALSE(ReadChannelPaste(s, "145\tX\n", paste, error));
    EXPECT_EQ(paste.skipped, 1);

    EXPECT_FALSE(ReadChannelPaste(s, "hello\n", paste, error));
    EXPECT_TRUE(error.empty());
}
