// rm427-cli's data file commands, run as a user would in a scratch folder.
#include <gtest/gtest.h>

#include "CliFixture.h"

#include <algorithm>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

namespace {

using rm427::test::Result;
using rm427::test::Slurp;

class CliTest : public rm427::test::CliFixture {
protected:
    static void ExpectOneLineError(const Result& r) {
        EXPECT_NE(r.code, 0);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(r.err.rfind("rm427-cli: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
};

}  // namespace

TEST_F(CliTest, NewDumpAndInfoOfANewImage) {
    ASSERT_EQ(Run("new n.dat").code, 0);
    const std::string file = Slurp(dir / "n.dat");
    EXPECT_EQ(file.size(), 78u);
    EXPECT_EQ(file.back(), '\x06');

    Result r = Run("dump n.dat");
    ASSERT_EQ(r.code, 0) << r.err;
    std::istringstream in(r.out);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ASSERT_EQ(lines.size(), 256u);
    const std::regex shape("[0-9A-F]{3}0:( [0-9A-F]{2}){16}");
    char head[8];
    for (int row = 0; row < 256; ++row) {
        std::snprintf(head, sizeof head, "%03X0:", row);
        EXPECT_TRUE(std::regex_match(lines[row], shape) && lines[row].rfind(head, 0) == 0) << lines[row];
    }
    EXPECT_EQ(lines[0], "0000: FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF");
    EXPECT_EQ(lines[0xE9], "0E90: A5 00 00 47 FF 02 02 4E 30 12 5F FF FF FF FF FF");
    EXPECT_EQ(lines[0xEC], "0EC0: 5C 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");

    r = Run("info n.dat");
    EXPECT_EQ(r.out, "Model code: 15 (400 - 470(MHz))\nBand: UHF\nProgrammed channels: 0 of 128\n");
}

TEST_F(CliTest, ImportExportRoundTripAndInfoOfChannels) {
    std::string img(4096, '\xFF');
    auto record = [](int n) { return 512 * ((n - 1) / 18) + 14 * ((n - 1) % 18); };
    for (int ch : {1, 18, 19, 100, 127, 128}) img[record(ch)] = '\x10';
    img[record(2) + 1] = '\x00';  // not the first byte: still empty
    img[252] = '\x00';            // between blocks: no channel there
    for (int i = 0xF00; i < 0x1000; ++i) img[i] = static_cast<char>(i * 37);
    img[0x3D2] = '\xF2';
    img[0x3D6] = '\xFE';
    Write("in.bin", img);
    ASSERT_EQ(Run("import-image in.bin c.dat").code, 0);
    ASSERT_EQ(Run("export-image c.dat out.bin").code, 0);
    EXPECT_EQ(Slurp(dir / "out.bin"), img);
    EXPECT_EQ(Run("info c.dat").out,
              "Model code: 2 (136 - 174(MHz))\nBand: VHF\nProgrammed channels: 6 of 128\n");
}

TEST_F(CliTest, BadInputIsRefusedWithoutOutput) {
    Write("short.bin", std::string(4095, '\0'));
    Write("long.bin", std::string(4097, '\0'));
    Write("keep.dat", "old");
    for (const char* raw : {"short.bin", "long.bin"}) {
        const Result r = Run(std::string("import-image ") + raw + " keep.dat");
        ExpectOneLineError(r);
        EXPECT_NE(r.err.find("4096"), std::string::npos) << r.err;
        EXPECT_EQ(Slurp(dir / "keep.dat"), "old");
    }
    // Not data files: a raw image, garbage, empty, truncated, missing.
    Write("img.bin", std::string(4096, '\xFF'));
    Write("junk.dat", "\x01\x02\x03\x04\x05\x06\x07\x08\x02");
    Write("empty.dat", "");
    ASSERT_EQ(Run("new good.dat").code, 0);
    Write("cut.dat", Slurp(dir / "good.dat").substr(0, 40));
    fs::create_directories(dir / "folder.dat");
    for (const std::string bad :
         {"img.bin", "junk.dat", "empty.dat", "cut.dat", "missing.dat", "folder.dat"}) {
        for (const std::string cmd : {"dump ", "info ", "export-image "}) {
            const Result r = Run(cmd + bad + (cmd == "export-image " ? " out.bin" : ""));
            ExpectOneLineError(r);
            EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
        }
    }
    EXPECT_FALSE(fs::exists(dir / "out.bin"));
    // Wrong arguments and --help: options_cli_test.
    ExpectOneLineError(Run("new nowhere/n.dat"));
}
