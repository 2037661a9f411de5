// rm427-cli with the common CSV channel layout and diff, run as a user would
// in a scratch folder.
#include <gtest/gtest.h>

#include "CliFixture.h"

#include <sstream>

namespace fs = std::filesystem;

namespace {

using rm427::test::Result;
using rm427::test::Slurp;

using ExtraCliTest = rm427::test::CliFixture;

const std::string kSample = RM427_SAMPLES_DIR "/common-layout-county-list.csv";

TEST_F(ExtraCliTest, CountyListNeedsForceAndIsPickedByItsHeader) {
    Result r = Run("import-csv '" + kSample + "' c.dat");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("93 channels read, 2 lines skipped", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("line 94: mode \"AM\" is not FM or NFM: skipped"), std::string::npos);
    EXPECT_NE(r.err.find("nothing written (--force"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "c.dat"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 0);

    // The program's own layout refuses the file, as before.
    r = Run("import-csv --format own '" + kSample + "' c.dat");
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.err.find("unknown column \"Location\""), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "c.dat"));

    r = Run("import-csv --force '" + kSample + "' c.dat");
    ASSERT_EQ(r.code, 0) << r.err;
    r = Run("info c.dat");
    EXPECT_NE(r.out.find("Programmed channels: 93 of 128"), std::string::npos) << r.out;
    r = Run("channels c.dat");
    std::istringstream lines(r.out);
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first,
              "1\t146.70000\t146.10000\t131.8\t131.8\tHigh\tWide\tYes\tOff\tOff\tOff\tOff\tCADY1");
}

TEST_F(ExtraCliTest, CleanCommonFileImportsWithoutForceAndExportsBack) {
    const std::string csv =
        "\xEF\xBB\xBFLocation,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
        "DtcsPolarity,Mode,TStep,Skip,Power,Comment\r\n"
        "1,RPT,146.7,-,0.6,TSQL,131.8,131.8,23,NN,FM,5,,High,\"Hill, north\"\r\n"
        "2,DCS,446.0,,0,DTCS,88.5,88.5,754,RR,NFM,12.5,S,Low,\r\n";
    Write("in.csv", csv);
    Result r = Run("import-csv --format common in.csv c.dat");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "2 channels read, 0 lines skipped.\n");
    r = Run("export-csv --format common c.dat -");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
              "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n"
              "1,RPT,146.700000,-,0.600000,TSQL,131.8,131.8,023,NN,023,,FM,5.00,,High,\r\n"
              "2,DCS,446.000000,,0.000000,DTCS,88.5,88.5,754,RR,754,,NFM,5.00,S,Low,\r\n");
    r = Run("export-csv --format common c.dat out.csv");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(Slurp(dir / "out.csv").find("1,RPT,146.700000"), std::string::npos);
    // The default stays the program's own layout.
    r = Run("export-csv c.dat -");
    EXPECT_EQ(r.out.rfind("Channel,RxFreq,TxFreq,", 0), 0u) << r.out;

    // For a European spreadsheet, and back.
    r = Run("export-csv --format common --separator ';' --decimal-comma c.dat eu.csv");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(Slurp(dir / "eu.csv").find("\r\n1;RPT;146,700000;-;0,600000;TSQL;131,8;131,8;023;"),
              std::string::npos);
    ASSERT_EQ(Run("import-csv eu.csv d.dat").code, 0);
    EXPECT_EQ(Run("export-csv --format common d.dat -").out,
              Run("export-csv --format common c.dat -").out);
    EXPECT_NE(Run("export-csv --decimal-comma c.dat -").code, 0);
    EXPECT_NE(Run("export-csv --separator '|' c.dat -").code, 0);
}

TEST_F(ExtraCliTest, DiffExitStatusAndLines) {
    ASSERT_EQ(Run("new a.dat").code, 0);
    ASSERT_EQ(Run("new b.dat").code, 0);
    Result r = Run("diff a.dat b.dat");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");

    Write("in.csv", "Location,Name,Frequency\r\n5,CALL,145.5\r\n");
    ASSERT_EQ(Run("import-csv in.csv b.dat").code, 0);
    r = Run("diff a.dat b.dat");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("channel 5: Rx Freq \"\" -> \"145.50000\"\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("channel 5: Name \"\" -> \"CALL\"\n"), std::string::npos);
    EXPECT_EQ(r.out.find("byte"), std::string::npos) << r.out;

    Write("bad.dat", "not a data file");
    r = Run("diff a.dat bad.dat");
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(Run("diff a.dat missing.dat").code, 2);
}

}  // namespace
