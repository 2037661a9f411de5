// rm427-cli's channel commands (channels, export-csv, import-csv), run as a
// user would in a scratch folder.
#include <gtest/gtest.h>

#include "CliFixture.h"

#include <algorithm>
#include <sstream>

#include "file/DataFile.h"

namespace fs = std::filesystem;

namespace {

using rm427::test::Result;
using rm427::test::Slurp;

std::vector<std::string> Lines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

const char* kHeader =
    "Channel,RxFreq,TxFreq,Decode,Encode,Power,Bandwidth,ScanAdd,BeatShift,BCL,VOX,Option,Name\r\n";

class ChannelCliTest : public rm427::test::CliFixture {
protected:
    rm427::CodeplugImage Image(const std::string& name) {
        const std::string s = Slurp(dir / name);
        rm427::CodeplugImage image{};
        EXPECT_TRUE(rm427::DecodeDataFile(std::vector<std::uint8_t>(s.begin(), s.end()), image)) << name;
        return image;
    }
    void WriteImage(const std::string& name, const rm427::CodeplugImage& image) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(rm427::EncodeDataFile(image, bytes, error)) << error;
        Write(name, std::string(bytes.begin(), bytes.end()));
    }
    std::vector<std::string> Files() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace

TEST_F(ChannelCliTest, ImportListExportAndBack) {
    Write("in.csv", std::string(kHeader) +
                        "1,145.00000,145.00000,None,None,High,Wide,Yes,Off,Off,Off,Off,AB-1\r\n"
                        "3,438.5,433.5,88.5,D023N,Mid,Narrow,No,Beat Shift2,On,On,Compand,\"A_ B\"\r\n"
                        "128,145.0060,,D023I,None,Low,,,Beat Shift1,,,Scramble,\r\n");
    Result r = Run("import-csv in.csv c.dat");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;

    r = Run("channels c.dat");
    ASSERT_EQ(r.code, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 128u);
    EXPECT_EQ(lines[0],
              "1\t145.00000\t145.00000\tNone\tNone\tHigh\tWide\tYes\tOff\tOff\tOff\tOff\tAB-1");
    EXPECT_EQ(lines[1], "2" + std::string(12, '\t'));
    EXPECT_EQ(
        lines[2],
        "3\t438.50000\t433.50000\t88.5\tD023N\tMid\tNarrow\tNo\tBeat Shift2\tOn\tOn\tCompand\tA_ B");
    EXPECT_EQ(
        lines[127],
        "128\t145.00625\t145.00625\tD023I\t67.0\tLow\tWide\tYes\tBeat Shift1\tOff\tOff\tScramble\t");
    rm427::CodeplugImage image = Image("c.dat");  // its record bytes: channelrows_test

    // Odd settings bytes stay; export, clear and import give the same file image.
    for (int i = 0xE90; i < 0x1000; ++i) image[i] = static_cast<std::uint8_t>(i * 7);
    WriteImage("c.dat", image);
    ASSERT_EQ(Run("export-csv c.dat out.csv").code, 0);
    const auto rows = Lines(Slurp(dir / "out.csv"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0] + "\n", kHeader);
    EXPECT_EQ(rows[3],
              "128,145.00625,145.00625,D023I,67.0,Low,Wide,Yes,Beat Shift1,Off,Off,Scramble,\r");
    Write("none.csv", "Channel,RxFreq\r\n");
    ASSERT_EQ(Run("import-csv none.csv c.dat").code, 0);
    EXPECT_EQ(Run("export-csv c.dat -").out, kHeader);
    ASSERT_EQ(Run("import-csv out.csv c.dat").code, 0);
    EXPECT_EQ(Image("c.dat"), image);
}

TEST_F(ChannelCliTest, ModesPlaceTheChannelsAndADryRunWritesNothing) {
    Write("a.csv", "Channel,RxFreq,Name\r\n1,145,A\r\n3,146,B\r\n");
    ASSERT_EQ(Run("import-csv a.csv c.dat").code, 0);
    const std::string before = Slurp(dir / "c.dat");
    Write("b.csv", "Channel,RxFreq,Name\r\n1,145,A\r\n2,147,CALLING\r\n");
    Result r = Run("import-csv --mode append --dry-run b.csv c.dat");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "channel 2: New; duplicate of channel 1\n"
              "channel 4: New; name \"CALLING\" shortened to \"CALLI\"\n"
              "new 2, changed 0, unchanged 0, emptied 0, skipped 0, fitted 1, duplicates 1\n");
    EXPECT_EQ(Slurp(dir / "c.dat"), before);
    ASSERT_EQ(Run("import-csv --mode append --skip-duplicates b.csv c.dat").code, 0);
    EXPECT_EQ(Lines(Run("channels c.dat").out)[1].substr(0, 11), "2\t147.00000");
    ASSERT_EQ(Run("import-csv --mode at:128 b.csv c.dat").code, 0);
    EXPECT_EQ(Lines(Run("channels c.dat").out)[127].substr(0, 13), "128\t145.00000");
    EXPECT_NE(Run("import-csv --mode at:0 b.csv c.dat").code, 0);
}

TEST_F(ChannelCliTest, BadCsvWritesNothing) {
    ASSERT_EQ(Run("new keep.dat").code, 0);
    const std::string before = Slurp(dir / "keep.dat");
    const std::string ok = "1,145,,,,,,,,,,,\r\n";
    // The reasons themselves: channelcsv_test BadLinesNameTheLineAndChangeNothing.
    Write("bad.csv", std::string(kHeader) + ok + ok);
    for (const char* target : {"keep.dat", "fresh.dat"}) {
        const Result r = Run(std::string("import-csv bad.csv ") + target);
        EXPECT_NE(r.code, 0);
        EXPECT_EQ(r.err,
                  "rm427-cli: bad.csv: line 3: channel 1 is listed twice (first on line 2); nothing "
                  "written\n");
    }
    EXPECT_EQ(Slurp(dir / "keep.dat"), before);
    EXPECT_EQ(Files(), (std::vector<std::string>{"bad.csv", "keep.dat"}));
    // A target that is not a data file is not overwritten; a broken data
    // file gives no CSV.
    Write("notes.dat", "my notes");
    Write("good.csv", std::string(kHeader) + ok);
    EXPECT_NE(Run("import-csv good.csv notes.dat").code, 0);
    EXPECT_EQ(Slurp(dir / "notes.dat"), "my notes");
    EXPECT_NE(Run("export-csv notes.dat out.csv").code, 0);
    EXPECT_FALSE(fs::exists(dir / "out.csv"));
    // Longer names are shortened, and said so.
    Write("long.csv", "Channel,RxFreq,Name\n4,145,cady11\n");
    const Result r = Run("import-csv long.csv keep.dat");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "rm427-cli: long.csv: line 2: name \"CADY11\" shortened to \"CADY1\"\n");
}
