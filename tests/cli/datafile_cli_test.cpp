// rm427-cli's data file commands, run as a user would in a scratch folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Result {
    int code = -1;
    std::string out, err;
};

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("rm427-cli-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    Result Run(const std::vector<std::string>& args) {
        std::string cmd = "cd " + Quote(dir.string()) + " && " + Quote(RM427_CLI);
        for (const auto& a : args) cmd += " " + Quote(a);
        cmd += " >" + Quote((dir / ".out").string()) + " 2>" + Quote((dir / ".err").string());
        Result r;
        const int status = std::system(cmd.c_str());
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Slurp(dir / ".out");
        r.err = Slurp(dir / ".err");
        fs::remove(dir / ".out");
        fs::remove(dir / ".err");
        return r;
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::vector<std::string> Entries() {
        std::vector<std::string> v;
        for (const auto& e : fs::directory_iterator(dir)) v.push_back(e.path().filename().string());
        std::sort(v.begin(), v.end());
        return v;
    }
    static void ExpectOneLineError(const Result& r) {
        EXPECT_NE(r.code, 0);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(r.err.rfind("rm427-cli: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }

    fs::path dir;
};

std::string NewImage() {
    std::string img(4096, '\xFF');
    const unsigned char e9[] = {0xA5, 0x00, 0x00, 0x47, 0xFF, 0x02, 0x02, 0x4E, 0x30, 0x12, 0x5F};
    const unsigned char eb[] = {0x20, 0xAE, 0xB0, 0x47, 0xFF, 0x02, 0x02, 0x4E, 0x30, 0x12, 0x5F};
    for (int i = 0; i < 11; ++i) {
        img[0xE90 + i] = static_cast<char>(e9[i]);
        img[0xEB0 + i] = static_cast<char>(eb[i]);
    }
    img[0xEC0] = '\x5C';
    for (int i = 0xEC1; i < 0xED0; ++i) img[i] = '\0';
    return img;
}

}  // namespace

TEST_F(CliTest, NewDumpAndInfoOfANewImage) {
    Result r = Run({"new", "n.dat"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string file = Slurp(dir / "n.dat");
    EXPECT_EQ(file.size(), 78u);
    EXPECT_EQ(file.back(), '\x06');

    r = Run({"dump", "n.dat"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    const std::regex shape("[0-9A-F]{3}0:( [0-9A-F]{2}){16}");
    int n = 0;
    std::vector<std::string> all;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(std::regex_match(line, shape)) << line;
        char expect[8];
        std::snprintf(expect, sizeof expect, "%03X0:", n);
        EXPECT_EQ(line.substr(0, 5), expect);
        all.push_back(line);
        ++n;
    }
    ASSERT_EQ(n, 256);
    EXPECT_EQ(all[0], "0000: FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF");
    EXPECT_EQ(all[0xE9], "0E90: A5 00 00 47 FF 02 02 4E 30 12 5F FF FF FF FF FF");
    EXPECT_EQ(all[0xEC], "0EC0: 5C 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");

    r = Run({"info", "n.dat"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Model code: 15 (400 - 470(MHz))\nBand: UHF\nProgrammed channels: 0 of 128\n");
}

TEST_F(CliTest, InfoCountsChannelRecordsAndDecodesModel) {
    std::string img = NewImage();
    auto record = [](int n) { return 512 * ((n - 1) / 18) + 14 * ((n - 1) % 18); };
    for (int ch : {1, 18, 19, 100, 127, 128}) img[record(ch)] = '\x10';
    img[record(2) + 1] = '\x00';  // not the first byte: still empty
    img[252] = '\x00';            // between blocks: no channel there
    img[0x3D2] = '\xF2';
    img[0x3D6] = '\xFE';
    Write("img.bin", img);
    ASSERT_EQ(Run({"import-image", "img.bin", "c.dat"}).code, 0);
    Result r = Run({"info", "c.dat"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Model code: 2 (136 - 174(MHz))\nBand: VHF\nProgrammed channels: 6 of 128\n");

    img[0x3D2] = '\x0A';
    img[0x3D6] = '\x01';
    Write("img.bin", img);
    ASSERT_EQ(Run({"import-image", "img.bin", "c.dat"}).code, 0);
    r = Run({"info", "c.dat"});
    EXPECT_EQ(r.out, "Model code: 10 (350 - 370(MHz))\nBand: UHF\nProgrammed channels: 6 of 128\n");
}

TEST_F(CliTest, ImageExportAndImportRoundTrip) {
    std::string img(4096, '\0');
    for (int i = 0; i < 4096; ++i) img[i] = static_cast<char>((i * 37 + i / 256) & 0xFF);
    Write("in.bin", img);
    Result r = Run({"import-image", "in.bin", "x.dat"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = Run({"export-image", "x.dat", "out.bin"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Slurp(dir / "out.bin"), img);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"in.bin", "out.bin", "x.dat"}));
}

TEST_F(CliTest, BadInputIsRefusedWithoutOutput) {
    Write("short.bin", std::string(4095, '\0'));
    Write("long.bin", std::string(4097, '\0'));
    Write("keep.dat", "old");
    for (const char* raw : {"short.bin", "long.bin"}) {
        Result r = Run({"import-image", raw, "keep.dat"});
        ExpectOneLineError(r);
        EXPECT_NE(r.err.find("4096"), std::string::npos) << r.err;
        EXPECT_EQ(Slurp(dir / "keep.dat"), "old");
    }

    // Files that are not data files: the raw image, garbage, an empty file,
    // a truncated data file, one that is not there.
    Write("img.bin", NewImage());
    Write("junk.dat", "\x01\x02\x03\x04\x05\x06\x07\x08\x02");
    Write("empty.dat", "");
    ASSERT_EQ(Run({"new", "good.dat"}).code, 0);
    Write("cut.dat", Slurp(dir / "good.dat").substr(0, 40));
    for (const char* bad : {"img.bin", "junk.dat", "empty.dat", "cut.dat", "missing.dat"}) {
        for (const char* cmd : {"dump", "info"}) {
            Result r = Run({cmd, bad});
            ExpectOneLineError(r);
            EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
        }
        Result r = Run({"export-image", bad, "out.bin"});
        ExpectOneLineError(r);
        EXPECT_FALSE(fs::exists(dir / "out.bin"));
    }

    // Writing into a folder that does not exist.
    ExpectOneLineError(Run({"new", "nowhere/n.dat"}));
    EXPECT_FALSE(fs::exists(dir / "nowhere"));

    // Wrong argument counts and unknown options.
    ExpectOneLineError(Run({"new"}));
    ExpectOneLineError(Run({"dump", "a.dat", "b.dat"}));
    ExpectOneLineError(Run({"info", "--verbose", "good.dat"}));
    ExpectOneLineError(Run({"export-image", "good.dat"}));
}

TEST_F(CliTest, EveryCommandHasHelp) {
    for (const char* cmd : {"new", "dump", "info", "export-image", "import-image"}) {
        Result r = Run({cmd, "--help"});
        EXPECT_EQ(r.code, 0) << cmd;
        EXPECT_EQ(r.out.rfind(std::string("usage: rm427-cli ") + cmd, 0), 0u) << r.out;
    }
}
