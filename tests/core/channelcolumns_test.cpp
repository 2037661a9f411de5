// The channel columns' vocabulary against the record codec and the CSV
// layouts, in both languages.
#include <gtest/gtest.h>

#include "channels/Channel.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelCsv.h"
#include "channels/ChannelRecord.h"
#include "channels/ChannelRows.h"
#include "channels/CommonCsv.h"
#include "channels/ToneCodec.h"

using namespace rm427;

namespace {

constexpr int kChoiceColumns[] = {colPower, colBandwidth, colScanAdd, colBeatShift,
                                  colBCL,   colVOX,       colOption};

// Rows of a new image in `language` with channel 1 a new channel.
ChannelRows OneChannel(Module1& s, int language) {
    s.Language = static_cast<std::uint8_t>(language);
    Channel ch;
    EXPECT_FALSE(CommitChannelText(s, ch, colRxFreq, "145.5"));
    PutChannel(s.Image, 1, ch);
    ChannelRows rows = MakeChannelRows(s);
    LoadChannelRows(s, rows);
    return rows;
}

}  // namespace

// Every choice of every column, in both languages, is stored and loaded back
// as itself: the golden images (channel_test). Each item of the batch
// editor's lists names a choice of its column.
TEST(ChannelColumns, BatchItemsNameChoices) {
    for (int lang : {0, 1})
        for (int col : kChoiceColumns)
            for (std::size_t i = 0; i < BatchItems(col).size(); ++i)
                EXPECT_GE(FindChoice(lang, col, BatchCellText(lang, col, int(i))), 0) << col;
    EXPECT_EQ(BatchItemTexts(0, colBCL), (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(BatchCellText(0, colBCL, 0), "On");
    EXPECT_EQ(BatchCellText(0, colPower, 1), "Low");
    EXPECT_TRUE(ChoiceTexts(0, colName).empty());
}

// A text that matches no choice (an English cell after a switch to Chinese
// without a refresh, say) is saved as the column's rule says.
TEST(ChannelColumns, UnmatchedTextsFollowTheColumnRule) {
    Module1 s;
    ChannelRows rows = OneChannel(s, 0);
    for (int col : kChoiceColumns) rows[1][col] = "?";
    rows[1][colDecode] = "bogus";  // tones too: no signalling
    rows[1][colEncode] = "junk";
    SaveChannelRows(s, rows);
    LoadChannelRows(s, rows);
    EXPECT_EQ(rows[1][colDecode], "None");
    EXPECT_EQ(rows[1][colEncode], "None");
    EXPECT_EQ(rows[1][colPower], "Mid");
    EXPECT_EQ(rows[1][colBandwidth], "Wide");
    EXPECT_EQ(rows[1][colScanAdd], "Yes");
    for (int col : {colBeatShift, colBCL, colVOX, colOption}) EXPECT_EQ(rows[1][col], "Off") << col;
}

// The CSV layouts read and write the table's words.
TEST(ChannelColumns, CsvWords) {
    EXPECT_EQ(ChannelColumnOfCsvName(" beatshift "), colBeatShift);
    EXPECT_EQ(ChannelColumnOfCsvName("Beat Shift"), -1);
    EXPECT_EQ(ChoiceOfCsvWord(colBeatShift, "2"), beatShift2);
    EXPECT_EQ(ChoiceOfCsvWord(colBeatShift, "BEAT SHIFT1"), beatShift1);
    EXPECT_EQ(ChoiceOfCsvWord(colPower, "medium"), -1);
    EXPECT_EQ(CsvChoiceList(colOption), "Off, Compand, Scramble");
    EXPECT_EQ(ChoiceOfCommonWord(colBandwidth, "nfm"), bandwidthNarrow);
    EXPECT_EQ(CommonWordOfCell(1, colScanAdd, ChoiceText(1, colScanAdd, scanAddNo)), "S");
    EXPECT_EQ(CommonWordOfCell(0, colBCL, "On"), "");
    // A cell is read in either language (and as a CSV word) when saved.
    EXPECT_EQ(CellChoice(1, colPower, "Low"), powerLow);
    EXPECT_EQ(CellChoice(0, colBandwidth, ChoiceText(1, colBandwidth, bandwidthNarrow)),
              bandwidthNarrow);
    EXPECT_EQ(CellChoice(1, colBeatShift, " 2 "), beatShift2);
    EXPECT_EQ(CellChoice(1, colPower, "medium"), powerMid);
}

TEST(ChannelColumns, ProgrammedChannelsAndEnglishRows) {
    Module1 s;
    s.Language = 1;
    PutChannel(s.Image, 3, NewChannel(43850000));
    PutChannel(s.Image, 128, NewChannel(14500000));
    EXPECT_EQ(ProgrammedChannels(s.Image), 2);
    const ChannelRows english = EnglishChannelRows(s.Image);
    EXPECT_EQ(english[0][colBeatShift], "Beat Shift");
    EXPECT_EQ(english[3][colDecode], "None");
    EXPECT_EQ(english[128][colScanAdd], "Yes");
    EXPECT_EQ(ProgrammedChannels(Module1().Image), 0);
}
