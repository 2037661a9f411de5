#include <gtest/gtest.h>

#include <random>

#include "channels/ChannelCsv.h"
#include "channels/ChannelRecord.h"
#include "text/TextTable.h"
#include "channels/ToneCodec.h"

using namespace rm427;

namespace {

const char* kHeader =
    "Channel,RxFreq,TxFreq,Decode,Encode,Power,Bandwidth,ScanAdd,BeatShift,BCL,VOX,Option,Name\n";

// An image with a spread of channels saved the way the channel editor saves
// them, and random bytes everywhere else; the records are written over
// empty ones, or over random bytes when randomRecords.
CodeplugImage RichImage(bool randomRecords) {
    Module1 s;
    std::mt19937 rng(7);
    for (auto& b : s.Image) b = static_cast<std::uint8_t>(rng());
    for (int n = 1; n <= 128 && !randomRecords; ++n)
        std::fill_n(s.Image.begin() + ChannelOffset(n), kChannelRecordSize, 0xFF);
    ChannelRows rows = MakeChannelRows(s);
    const auto tones = ToneList(0);
    const char* shifts[] = {"Off", "Beat Shift1", "Beat Shift2"};
    const char* rx[] = {"145.12500", "438.50625", "146.01250", "440.00625", "136.00000"};
    const char* tx[] = {"145.72500", "433.50625", "146.01250", "445.10625", "174.00000"};
    const char* names[] = {"", "AB-1", " X*+_", "Z9", "12345", "A B"};
    for (int n = 1; n <= 128; ++n) {
        if (n % 9 == 0) continue;  // some empty channels
        rows[n] = {rows[n][0],
                   rx[n % 5],
                   tx[n % 5],
                   tones[(n * 37) % 265],
                   tones[(n * 53) % 265],
                   n % 3 ? "High" : "Mid",
                   n % 2 ? "Wide" : "Narrow",
                   n % 4 < 2 ? "Yes" : "No",
                   shifts[(n / 3) % 3],
                   n % 5 ? "Off" : "On",
                   n % 7 ? "Off" : "On",
                   n % 4 ? "Compand" : "Scramble",
                   names[n % 6]};
    }
    SaveChannelRows(s, rows);
    return s.Image;
}

std::vector<std::uint8_t> Records(const CodeplugImage& image) {
    std::vector<std::uint8_t> out;
    for (int n = 1; n <= 128; ++n)
        out.insert(out.end(), image.begin() + ChannelOffset(n),
                   image.begin() + ChannelOffset(n) + kChannelRecordSize);
    return out;
}

// Imports csv into a copy of a new image; returns the error ("" on success).
std::string ImportError(const std::string& csv) {
    CodeplugImage image = Module1().Image;
    const CodeplugImage before = image;
    std::string error;
    const bool ok = ImportChannelsCsv(csv, image, error);
    if (!ok) {
        EXPECT_EQ(image, before) << "a refused import changed the image";
    }
    return ok ? std::string() : error;
}

ChannelRows RowsOf(const std::string& csv) {
    Module1 s;
    ChannelRows rows;
    std::string error;
    EXPECT_TRUE(ChannelRowsFromCsv(s, csv, rows, error)) << error;
    return rows;
}

}  // namespace

TEST(CsvReader, QuotedFieldsAndLineEnds) {
    std::vector<CsvRecord> recs;
    std::string error;
    ASSERT_TRUE(
        ReadCsv("\xEF\xBB\xBF"
                "a,\"b,c\",\"say \"\"hi\"\"\"\r\n\r\n"
                "\"two\nlines\",,x\rlast,\"\"",
                recs, error))
        << error;
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[0].fields, (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(recs[0].line, 1);
    EXPECT_EQ(recs[1].fields, (std::vector<std::string>{"two\nlines", "", "x"}));
    EXPECT_EQ(recs[1].line, 3);  // the empty line 2 is skipped
    EXPECT_EQ(recs[2].fields, (std::vector<std::string>{"last", ""}));
    EXPECT_EQ(recs[2].line, 5);

    EXPECT_FALSE(ReadCsv("a,b\n1,\"open\n2,3\n", recs, error));
    EXPECT_EQ(error, "line 2: quoted field is not closed");
    EXPECT_FALSE(ReadCsv("a,b\n\"x\"y,2\n", recs, error));
    EXPECT_EQ(error, "line 2: unexpected text after a closing quote");
}

TEST(CsvChannels, ExportThenImportIsByteExact) {
    for (bool randomRecords : {false, true}) {
        const CodeplugImage original = RichImage(randomRecords);
        const std::string csv = ExportChannelsCsv(original);
        EXPECT_EQ(csv.substr(0, csv.find('\r')),
                  "Channel,RxFreq,TxFreq,Decode,Encode,Power,Bandwidth,ScanAdd,BeatShift,BCL,VOX,"
                  "Option,Name");
        EXPECT_NE(csv.find("\r\n1,438.50625,433.50625,"), std::string::npos);
        EXPECT_EQ(csv.find("\r\n9,"), std::string::npos);  // empty channels are not listed
        EXPECT_NE(csv.find(",\" X*+_\"\r\n"), std::string::npos);

        // Into the file it came from: channels and every other byte unchanged.
        CodeplugImage same = original;
        std::string error;
        ASSERT_TRUE(ImportChannelsCsv(csv, same, error)) << error;
        EXPECT_EQ(same, original);
        // Into a new image: the same texts, the new image's other bytes. The
        // records are the same bytes where they were written over empty ones
        // (bits the rows do not describe come from the record they replace).
        CodeplugImage fresh = Module1().Image;
        ASSERT_TRUE(ImportChannelsCsv(csv, fresh, error)) << error;
        if (!randomRecords) {
            EXPECT_EQ(Records(fresh), Records(original));
        }
        EXPECT_EQ(fresh[0xE90], 0xA5);
        EXPECT_EQ(ExportChannelsCsv(fresh), csv);
    }
}

TEST(CsvChannels, ColumnsByHeaderDefaultsAndRounding) {
    ChannelRows rows = RowsOf(
        "name,RXFREQ,channel,power,decode,TxFreq\n"
        "cq 1,145.0060,3,mid,d023n,145.0060\n"
        "\"LONGNAME\",0438.5,128,,,\n"
        ",145.000,1,,,145.0060\n");
    EXPECT_EQ(rows[3], (ChannelRow{"3", "145.00625", "145.00625", "D023N", "None", "Mid", "Wide", "Yes",
                                   "Off", "Off", "Off", "Off", "CQ 1"}));
    EXPECT_EQ(rows[128][colTxFreq], "438.50000");
    EXPECT_EQ(rows[128][colName], "LONGN");
    EXPECT_EQ(rows[1][colTxFreq], "145.00500");  // transmit rounds on the receive raster
    EXPECT_TRUE(rows[2][colRxFreq].empty());

    std::vector<std::string> warnings;
    std::string error;
    ASSERT_TRUE(
        ChannelRowsFromCsv(Module1(), "Channel,RxFreq,Name\n7,145,CADY11\n", rows, error, &warnings));
    EXPECT_EQ(warnings, std::vector<std::string>{"line 2: name \"CADY11\" shortened to \"CADY1\""});
}

TEST(CsvChannels, BadLinesNameTheLineAndChangeNothing) {
    const std::string h = kHeader;
    const std::string ok = "1,145.00000,145.00000,None,None,High,Wide,Yes,Off,Off,Off,Off,A\n";
    EXPECT_EQ(ImportError(h + ok), "");
    EXPECT_EQ(ImportError(h + ok + "2,145,145,123.4,None,High,Wide,Yes,Off,Off,Off,Off,\n"),
              "line 3: unknown tone \"123.4\" in Decode");
    EXPECT_EQ(ImportError(h + ok + "2,14x.5,,,,,,,,,,,\n"), "line 3: RxFreq \"14x.5\" is not a number");
    EXPECT_EQ(ImportError(h + "2,145,-5,,,,,,,,,,\n"), "line 2: TxFreq \"-5\" is not a number");
    EXPECT_EQ(ImportError(h + "0,145,,,,,,,,,,,\n"),
              "line 2: channel \"0\" is not a number from 1 to 128");
    EXPECT_EQ(ImportError(h + "129,145,,,,,,,,,,,\n"),
              "line 2: channel \"129\" is not a number from 1 to 128");
    EXPECT_EQ(ImportError(h + ok + "\n" + ok), "line 4: channel 1 is listed twice (first on line 2)");
    EXPECT_EQ(ImportError(h + ok + "2,145,145\n"), "line 3: expected 13 fields, found 3");
    EXPECT_EQ(ImportError(h + "2,551,,,,,,,,,,,\n"),
              "line 2: RxFreq 551 is out of range (100 to 550 MHz)");
    EXPECT_EQ(ImportError(h + "2,145,99.99,,,,,,,,,,\n"),
              "line 2: TxFreq 99.99 is out of range (100 to 550 MHz)");
    EXPECT_EQ(ImportError(h + "2,,,,,,,,,,,,\n"), "line 2: RxFreq is empty");
    EXPECT_EQ(ImportError(h + "2,145,,,,Medium,,,,,,,\n"),
              "line 2: Power \"Medium\" is not one of High, Mid, Low");
    EXPECT_EQ(ImportError(h + "2,145,,,,,,,,,,,A.B\n").find("line 2: Name \"A.B\" holds a character"),
              0u);
    // A quoted field spanning lines: the error names the line the record starts on.
    EXPECT_EQ(ImportError(h + "\"1\n\",145,,,,,,,,,,,\n"),
              "line 2: channel \"1\n\" is not a number from 1 to 128");
    EXPECT_EQ(
        ImportError("Channel,RxFreq,Colour\n"),
        "line 1: unknown column \"Colour\" (the columns are "
        "Channel,RxFreq,TxFreq,Decode,Encode,Power,Bandwidth,ScanAdd,BeatShift,BCL,VOX,Option,Name)");
    EXPECT_EQ(ImportError("Channel,RxFreq,\n1,145,\n"), "");  // trailing comma
    EXPECT_EQ(ImportError("Channel,RxFreq,\n1,145\n"), "line 2: expected 3 fields, found 2");
    EXPECT_EQ(ImportError("Channel,Name,channel\n"), "line 1: column Channel appears twice");
    EXPECT_EQ(ImportError("Channel,Name\n"), "line 1: the header has no RxFreq column");
    EXPECT_EQ(ImportError(""), "line 1: no header line (the file is empty)");
    EXPECT_EQ(ImportError(h + "1,\"145\n"), "line 2: quoted field is not closed");
}

// A list through a European spreadsheet, or made in the Chinese interface:
// the same channels, and each repair or fitted value said in either language.
TEST(CsvChannels, SpreadsheetFormsReadAsTheExportAndEveryRepairIsSaid) {
    const std::string clean = std::string(kHeader) +
                              "1,145.50000,145.50000,88.5,D023N,Low,Narrow,No,Off,On,Off,Off,AB\n"
                              "2,438.00625,433.00625,None,None,High,Wide,Yes,Off,Off,Off,Off,\n";
    std::vector<Channel> expected, back;
    CsvReport report;
    CsvNote error;
    ASSERT_TRUE(ReadOwnCsv(Module1(), clean, expected, report, error)) << NoteLine(error, 0);
    EXPECT_TRUE(report.notes.empty());

    // Chinese titles and texts, semicolons, decimal commas, zeros dropped,
    // saved as UTF-16.
    std::string zh;
    for (int c = 0; c < kChannelColumns; ++c)
        zh += (c ? ";" : "") + LoadText(1, ChannelColumnOf(c).title);
    zh += "\r\n1;145,5;145,5;88,5;D23N";
    const int choices[] = {powerLow, bandwidthNarrow, scanAddNo, beatShiftOff,
                           choiceOn, choiceOff,       optionOff};
    for (int c = colPower; c < colName; ++c) zh += ";" + ChoiceText(1, c, choices[c - colPower]);
    zh += ";AB\r\n2;438,00625;433,00625;" + LoadText(1, 1137) + ";;;;;;;;;\r\n";
    std::string utf16 = "\xFF\xFE";
    for (std::size_t i = 0; i < zh.size();) {  // UTF-8 to UTF-16LE (no character here needs a pair)
        const auto b = static_cast<unsigned char>(zh[i]);
        const int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : 3;
        unsigned cp = len == 1 ? b : len == 2 ? b & 0x1F : b & 0x0F;
        for (int k = 1; k < len; ++k) cp = cp << 6 | (static_cast<unsigned char>(zh[i + k]) & 0x3F);
        utf16 += std::string{static_cast<char>(cp & 0xFF), static_cast<char>(cp >> 8)};
        i += len;
    }
    ASSERT_TRUE(ReadOwnCsv(Module1(), utf16, back, report, error)) << NoteLine(error, 0);
    EXPECT_TRUE(back == expected);
    EXPECT_TRUE(report.Fits());
    EXPECT_EQ(
        report.RepairLines(0),
        (std::vector<std::string>{"line 1: UTF-16 text read as UTF-8; fields separated by semicolons; "
                                  "Chinese texts read (21 in all)",
                                  "line 2: decimal commas read as points (5 in all); DCS codes without "
                                  "leading zeros (1 in all)"}));
    EXPECT_EQ(report.RepairLines(1)[1],
              "第 2 行：小数逗号已按小数点读取（共 5 处）；DCS 码缺少前导零（共 1 处）");

    // Values fitted to the radio are said, with their channel.
    ASSERT_TRUE(ReadOwnCsv(Module1(), std::string(kHeader) + "3,145.5031,,,,,,,,,,,abcdefg\n", back,
                           report, error));
    EXPECT_FALSE(report.Fits());
    EXPECT_EQ(report.Lines(0),
              std::vector<std::string>{"line 2: RxFreq 145.5031 rounded to 145.50500; name "
                                       "\"abcdefg\" taken in upper case; name \"ABCDEFG\" "
                                       "shortened to \"ABCDE\""});
    EXPECT_EQ(report.Lines(1), std::vector<std::string>{
                                   "第 2 行：接收频率 145.5031 已舍入为 145.50500；名称“abcdefg”已转为"
                                   "大写；名称“ABCDEFG”已截短为“ABCDE”"});
    EXPECT_EQ(report.notes[0].channel, 3);
    EXPECT_EQ(back[2].name, "ABCDE");

    // A refusal in the interface's language too.
    EXPECT_FALSE(ReadOwnCsv(Module1(), std::string(kHeader) + "2,,,,,,,,,,,,\n", back, report, error));
    EXPECT_EQ(NoteLine(error, 1), "第 2 行：接收频率为空");
}
