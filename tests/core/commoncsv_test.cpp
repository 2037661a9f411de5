// The common CSV channel layout: the county list as a user meets it, a
// real-world-shaped file of our own, the export and the way back.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "channels/ChannelRecord.h"
#include "channels/CommonCsv.h"
#include "channels/ToneCodec.h"

using namespace rm427;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The image's channels as the channel editor shows them, in English.
ChannelRows RowsOf(const CodeplugImage& image) {
    Module1 s;
    s.Image = image;
    ChannelRows rows = MakeChannelRows(s);
    LoadChannelRows(s, rows);
    return rows;
}

const std::uint8_t* Record(const CodeplugImage& image, int n) { return image.data() + ChannelOffset(n); }

bool HasNote(const CommonCsvImport& r, const std::string& prefix, const std::string& part) {
    for (const auto& n : r.Lines(0))
        if (n.rfind(prefix, 0) == 0 && n.find(part) != std::string::npos) return true;
    return false;
}

TEST(CommonCsvSample, CountyListImportsWhatTheRadioCanHold) {
    const std::string csv = Slurp(RM427_SAMPLES_DIR "/common-layout-county-list.csv");
    ASSERT_FALSE(csv.empty());
    EXPECT_EQ(DetectCsvLayout(csv), CsvLayout::Common);
    CodeplugImage image = Module1().Image;
    CommonCsvImport report;
    std::string error;
    ASSERT_TRUE(ImportCommonCsv(csv, image, report, error)) << error;
    EXPECT_EQ(report.channels, 93);
    EXPECT_EQ(report.skipped, 2);
    // The two airband AM channels are skipped and say so.
    EXPECT_TRUE(HasNote(report, "line 94: ", "mode \"AM\""));
    EXPECT_TRUE(HasNote(report, "line 95: ", "mode \"AM\""));
    EXPECT_EQ(Record(image, 125)[0], 0xFF);
    EXPECT_EQ(Record(image, 126)[0], 0xFF);
    // Receive-only channels are reported: the record cannot forbid transmitting.
    EXPECT_TRUE(HasNote(report, "line 91: ", "receive only"));
    EXPECT_TRUE(HasNote(report, "line 2: ", "\"CADY11\" shortened to \"CADY1\""));

    const ChannelRows rows = RowsOf(image);
    // A repeater with tone squelch and a minus offset; tone only: encode, no decode.
    EXPECT_EQ(rows[1], (ChannelRow{"1", "146.70000", "146.10000", "131.8", "131.8", "High", "Wide",
                                   "Yes", "Off", "Off", "Off", "Off", "CADY1"}));
    EXPECT_EQ(rows[2][colTxFreq], "146.70000");
    EXPECT_EQ(rows[2][colEncode], "131.8");
    EXPECT_EQ(rows[2][colDecode], "None");
    // No tone mode: the tone columns are not used; an offset without a duplex is simplex.
    EXPECT_EQ(rows[5][colEncode], "None");
    EXPECT_EQ(rows[10][colTxFreq], "146.52000");
    // Skip "S" is out of the scan.
    EXPECT_EQ(rows[26][colScanAdd], "No");
    // Whole-number tones ("77", "100").
    EXPECT_EQ(rows[98][colEncode], "77.0");
    EXPECT_EQ(rows[99][colEncode], "100.0");
    // A 6.25 kHz channel keeps its raster, with the offset on it.
    EXPECT_EQ(rows[64][colRxFreq], "442.46250");
    EXPECT_EQ(rows[64][colTxFreq], "447.46250");
    EXPECT_EQ(Record(image, 64)[9] & 0xF0, 0x40);
    // Narrow receive-only channel: transmit = receive.
    EXPECT_EQ(rows[110][colBandwidth], "Narrow");
    EXPECT_EQ(rows[110][colTxFreq], "155.10000");
    EXPECT_EQ(rows[127][colName], "FERRY");
    // Locations not in the list stay empty.
    EXPECT_EQ(Record(image, 8)[0], 0xFF);
    // A new image names no model, so no band is checked.
    EXPECT_FALSE(HasNote(report, "", "model's band"));
}

// Quoted names with commas, CRLF, a byte order mark, repeater offsets,
// cross tone modes, extra and missing columns.
const char* kRealWorld =
    "\xEF\xBB\xBF"
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,Skip,Power,Comment,URCALL\r\n"
    "1,\"Fire, Main\",145.5,-,0.6,TSQL,88.5,88.5,23,NN,23,Tone->Tone,FM,,High,\"a, b\",\r\n"
    "2,dcs1,446.0,+,5.0,DTCS,88.5,88.5,23,NR,23,Tone->Tone,NFM,S,0.5W,,\r\n"
    "3,X1,145.6,,0,Cross,100.0,88.5,31,NN,754,Tone->DTCS,FM,,4W,,\r\n"
    "4,X2,145.65,,0,Cross,88.5,127.3,155,RN,23,DTCS->Tone,FM,,2.5,,\r\n"
    "5,X3,145.7,,0,Cross,88.5,88.5,23,NN,23,DTCS->,FM,,Low,,\r\n"
    "6,X4,145.75,,0,Cross,88.5,103.5,23,NN,23,->Tone,FM,,Mid,,\r\n"
    "7,SPLIT,146.52,split,446.0,,88.5,88.5,23,NN,23,,FM,,,,\r\n"
    "8,RND,145.0123,,0,Tone,69.4,88.5,23,NN,23,,FM,,,,\r\n"
    "0,ZERO,145.5,,0,,88.5,88.5,23,NN,23,,FM,,,,\r\n"
    "200,HIGH,145.5,,0,,88.5,88.5,23,NN,23,,FM,,,,\r\n"
    "1,DUP,145.5,,0,,88.5,88.5,23,NN,23,,FM,,,,\r\n"
    "9,LOW,99.995,,0,,88.5,88.5,23,NN,23,,FM,,,,\r\n"
    "10,\xCE\xA9mega,145.8,,0,,88.5,88.5,23,NN,23,,FM,,,,\r\n"
    "11,TXOUT,549.0,+,5,,88.5,88.5,23,NN,23,,FM,,,,\r\n";

TEST(CommonCsvImport, RealWorldShapedFile) {
    EXPECT_EQ(DetectCsvLayout(kRealWorld), CsvLayout::Common);
    CodeplugImage image = Module1().Image;
    CommonCsvImport report;
    std::string error;
    ASSERT_TRUE(ImportCommonCsv(kRealWorld, image, report, error)) << error;
    EXPECT_EQ(report.channels, 9);
    EXPECT_EQ(report.skipped, 5);
    const ChannelRows rows = RowsOf(image);

    // Comma dropped from the name (no code for it), then five characters.
    EXPECT_EQ(rows[1][colName], "FIRE");
    EXPECT_TRUE(HasNote(report, "line 2: ", "cannot show"));
    EXPECT_EQ(rows[1][colTxFreq], "144.90000");

    // DTCS NR: transmit normal, receive reversed; byte-exact record; 0.5 W is Low.
    EXPECT_EQ(rows[2], (ChannelRow{"2", "446.00000", "451.00000", "D023I", "D023N", "Low", "Narrow",
                                   "No", "Off", "Off", "Off", "Off", "DCS1"}));
    EXPECT_EQ(Record(image, 2)[9] & 7, sigDcsDcs);
    EXPECT_EQ(Record(image, 2)[6], 108);
    EXPECT_EQ(Record(image, 2)[7], 1);

    // Cross modes: left of the arrow transmits, right receives.
    EXPECT_EQ(rows[3][colEncode], "100.0");
    EXPECT_EQ(rows[3][colDecode], "D754N");  // RxDtcsCode
    EXPECT_EQ(rows[3][colPower], "High");    // 4 W is nearest to high
    EXPECT_EQ(rows[4][colEncode], "D155I");
    EXPECT_EQ(rows[4][colDecode], "127.3");
    EXPECT_EQ(rows[4][colPower], "Mid");
    EXPECT_EQ(rows[5][colEncode], "D023N");
    EXPECT_EQ(rows[5][colDecode], "None");
    // Decode alone cannot be stored: the record always encodes, 67.0 Hz.
    EXPECT_EQ(rows[6][colDecode], "103.5");
    EXPECT_EQ(rows[6][colEncode], "67.0");
    EXPECT_TRUE(HasNote(report, "line 7: ", "67.0 Hz"));

    // Split: Offset is the transmit frequency.
    EXPECT_EQ(rows[7][colRxFreq], "146.52000");
    EXPECT_EQ(rows[7][colTxFreq], "446.00000");

    // Off-raster frequency rounded; an unknown tone is left out.
    EXPECT_EQ(rows[8][colRxFreq], "145.01250");
    EXPECT_TRUE(HasNote(report, "line 9: ", "rounded to 145.01250"));
    EXPECT_TRUE(HasNote(report, "line 9: ", "\"69.4\""));
    EXPECT_EQ(rows[8][colEncode], "None");

    // Skipped lines, each with its reason; the first holder of location 1 stays.
    EXPECT_TRUE(HasNote(report, "line 10: ", "location \"0\""));
    EXPECT_TRUE(HasNote(report, "line 11: ", "location \"200\""));
    EXPECT_TRUE(HasNote(report, "line 12: ", "already taken by line 2"));
    EXPECT_TRUE(HasNote(report, "line 13: ", "outside 100 to 550 MHz"));
    EXPECT_TRUE(HasNote(report, "line 15: ", "transmit frequency 554.00000"));
    EXPECT_EQ(Record(image, 9)[0], 0xFF);
    EXPECT_EQ(Record(image, 11)[0], 0xFF);

    // Another alphabet: the letters the radio has are kept.
    EXPECT_EQ(rows[10][colName], "MEGA");
    EXPECT_TRUE(HasNote(report, "line 14: ", "cannot show"));
}

// Characters left out next to a space leave no space at the edge of the
// name, so it reads back from its export unchanged.
TEST(CommonCsvImport, NameLosingCharactersKeepsNoEdgeSpace) {
    for (const auto& [cell, stored] :
         {std::pair<std::string, std::string>{"RPT \xe4\xb8\xad\xe7\xbb\xa7", "RPT"},
          {"\xff \xff", ""}}) {
        CodeplugImage image = Module1().Image;
        CommonCsvImport report;
        std::string error;
        ASSERT_TRUE(
            ImportCommonCsv("Location,Name,Frequency\n3," + cell + ",439", image, report, error));
        EXPECT_EQ(RowsOf(image)[3][colName], stored);
    }
}

TEST(CommonCsvImport, WholeFileErrorsLeaveTheImageAlone) {
    const CodeplugImage before = Module1().Image;
    for (const char* csv : {"", "Location,Name\r\n1,A\r\n", "Location,Frequency\r\n1,\"145.5\r\n"}) {
        CodeplugImage image = before;
        CommonCsvImport report;
        std::string error;
        EXPECT_FALSE(ImportCommonCsv(csv, image, report, error)) << csv;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(image, before);
    }
}

TEST(CommonCsvImport, ChannelsOutsideTheModelsBandAreKeptAndReported) {
    Module1 s;
    s.Image[kModelByte] = 0xF4;  // UHF 400 - 470 MHz
    const std::string csv = "Location,Frequency,Duplex,Offset\n1,146.52,,\n2,440.0,+,5\n3,468.0,+,5\n";
    CodeplugImage image = s.Image;
    CommonCsvImport report;
    std::string error;
    ASSERT_TRUE(ImportCommonCsv(csv, image, report, error)) << error;
    EXPECT_EQ(report.channels, 3);
    EXPECT_TRUE(HasNote(report, "line 2: ", "model's band 400 - 470 MHz"));
    EXPECT_FALSE(HasNote(report, "line 3: ", "model's band"));
    EXPECT_TRUE(HasNote(report, "line 4: ", "model's band"));  // transmits on 473 MHz
    EXPECT_NE(Record(image, 1)[0], 0xFF);
    EXPECT_EQ(image[kModelByte], 0xF4);
}

TEST(CommonCsvLayout, DetectedByTheHeader) {
    EXPECT_EQ(DetectCsvLayout("Channel,RxFreq,Name\r\n1,145.5,A\r\n"), CsvLayout::Own);
    EXPECT_EQ(DetectCsvLayout("\xEF\xBB\xBF\"location\",\"frequency\"\n"), CsvLayout::Common);
    EXPECT_EQ(DetectCsvLayout("a,b,c\n"), CsvLayout::Unknown);
    EXPECT_EQ(DetectCsvLayout(""), CsvLayout::Unknown);
}

// An image of channels that use only what the common layout can carry.
CodeplugImage ExportableImage() {
    Module1 s;
    ChannelRows rows = MakeChannelRows(s);
    struct C {
        int n;
        const char *rx, *tx, *dec, *enc, *power, *bw, *scan, *name;
    };
    const C cs[] = {
        {1, "145.50000", "145.50000", "None", "None", "High", "Wide", "Yes", "CALL"},
        {2, "146.70000", "146.10000", "131.8", "131.8", "Low", "Wide", "Yes", "RPT"},
        {3, "442.46250", "447.46250", "None", "100.0", "Mid", "Narrow", "No", "D-STR"},
        {4, "446.00000", "446.00000", "D023I", "D023N", "High", "Narrow", "Yes", "DCS"},
        {5, "145.60000", "145.60000", "D754N", "100.0", "High", "Wide", "Yes", "X1"},
        {6, "145.65000", "145.65000", "127.3", "D155I", "High", "Wide", "Yes", ""},
        {7, "146.52000", "446.00000", "88.5", "103.5", "High", "Wide", "Yes", "SPLIT"},
        {9, "440.00000", "440.00000", "D025N", "D031N", "Low", "Wide", "No", "A B"},
        {128, "430.00000", "439.40000", "None", "D023N", "High", "Wide", "Yes", "LAST"},
    };
    for (const C& c : cs) {
        ChannelRow& r = rows[c.n];
        r = {std::to_string(c.n),
             c.rx,
             c.tx,
             c.dec,
             c.enc,
             c.power,
             c.bw,
             c.scan,
             "Off",
             "Off",
             "Off",
             "Off",
             c.name};
    }
    SaveChannelRows(s, rows);
    return s.Image;
}

TEST(CommonCsvExport, WritesTheLayoutAndReadsBackToTheSameRecords) {
    const CodeplugImage image = ExportableImage();
    const std::string csv = ExportCommonCsv(image);
    std::istringstream in(csv);
    std::string header, first, second;
    std::getline(in, header);
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(header,
              "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
              "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r");
    EXPECT_EQ(first, "1,CALL,145.500000,,0.000000,,88.5,88.5,023,NN,023,,FM,5.00,,High,\r");
    EXPECT_EQ(second, "2,RPT,146.700000,-,0.600000,TSQL,131.8,131.8,023,NN,023,,FM,5.00,,Low,\r");
    EXPECT_NE(
        csv.find("\r\n3,D-STR,442.462500,+,5.000000,Tone,100.0,88.5,023,NN,023,,NFM,6.25,S,Mid,\r\n"),
        std::string::npos);
    EXPECT_NE(csv.find("\r\n4,DCS,446.000000,,0.000000,DTCS,88.5,88.5,023,NR,023,,NFM,5.00,,High,\r\n"),
              std::string::npos);
    EXPECT_NE(csv.find(",Cross,100.0,88.5,754,NN,754,Tone->DTCS,"), std::string::npos);
    EXPECT_NE(csv.find("\r\n7,SPLIT,146.520000,split,446.000000,Cross,103.5,88.5,"), std::string::npos);
    EXPECT_EQ(csv.find("\r\n8,"), std::string::npos);  // empty channels are not listed

    CodeplugImage back = Module1().Image;
    CommonCsvImport report;
    std::string error;
    ASSERT_TRUE(ImportCommonCsv(csv, back, report, error)) << error;
    EXPECT_TRUE(report.notes.empty()) << report.Summary();
    EXPECT_EQ(report.channels, 9);
    for (int n = 1; n <= kMaxChannels; ++n)
        EXPECT_TRUE(std::equal(Record(image, n), Record(image, n) + kChannelRecordSize, Record(back, n)))
            << "channel " << n;
}

TEST(CommonCsvExport, ChineseRowsExportTheSameText) {
    const CodeplugImage image = ExportableImage();
    Module1 s;
    s.Language = 1;
    s.Image = image;
    ChannelRows rows = MakeChannelRows(s);
    LoadChannelRows(s, rows);
    EXPECT_EQ(ChannelRowsToCommonCsv(rows, 1), ExportCommonCsv(image));
}

}  // namespace
