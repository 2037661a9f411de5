// rm427-cli saving onto links, devices and read-only files, refusing to
// overwrite its input, reporting output errors and refusing oversized input.
#include <sys/stat.h>

#include <algorithm>

#include "CliFixture.h"

namespace rm427::test {
namespace {

class CliFilesTest : public CliFixture {
protected:
    // Runs a whole shell command line in the test's folder (for redirections).
    int Shell(const std::string& line) {
        const std::string cmd = "cd '" + dir.string() + "' && " + line;
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Cli() const { return "'" RM427_CLI "'"; }
};

TEST_F(CliFilesTest, SavesThroughLinksIntoDevicesAndNeverOverReadOnly) {
    ASSERT_EQ(Run("new a.dat").code, 0);
    const std::string fresh = Slurp(dir / "a.dat");

    Write("real.bin", "old");
    fs::create_symlink("real.bin", dir / "link.bin");
    EXPECT_EQ(Run("export-image a.dat link.bin").code, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.bin"));
    EXPECT_EQ(Slurp(dir / "real.bin").size(), 4096u);

    // Standard output by its device name reaches the redirection, also ">>".
    EXPECT_EQ(Shell(Cli() + " export-csv a.dat /dev/stdout > out.csv"), 0);
    EXPECT_EQ(Slurp(dir / "out.csv").rfind("Channel,RxFreq", 0), 0u);
    EXPECT_EQ(Shell("echo first > log && " + Cli() + " export-image a.dat /dev/stdout >> log"), 0);
    EXPECT_EQ(Slurp(dir / "log").size(), 6u + 4096u);

    ::chmod((dir / "real.bin").c_str(), 0400);
    Result r = Run("new real.bin");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "rm427-cli: cannot write real.bin: the file is read-only\n");
    EXPECT_EQ(Slurp(dir / "real.bin").size(), 4096u);
    EXPECT_EQ(Slurp(dir / "a.dat"), fresh);
    // Device nodes and full devices: fileio_test FifoAndDeviceNodesAreWrittenIntoNotReplaced.
}

TEST_F(CliFilesTest, InputIsNeverTheOutput) {
    ASSERT_EQ(Run("new a.dat").code, 0);
    const std::string before = Slurp(dir / "a.dat");
    fs::create_symlink("a.dat", dir / "link.dat");
    for (const std::string cmd : {"export-csv a.dat a.dat", "export-image a.dat link.dat",
                                  "import-image a.dat ./a.dat", "import-csv link.dat a.dat"}) {
        const Result r = Run(cmd);
        EXPECT_EQ(r.code, 1) << cmd;
        EXPECT_NE(r.err.find("are the same file; nothing written"), std::string::npos) << cmd << r.err;
    }
    EXPECT_EQ(Slurp(dir / "a.dat"), before);
}

TEST_F(CliFilesTest, FailedOutputIsAnError) {
    ASSERT_EQ(Run("new a.dat").code, 0);
    for (const std::string cmd : {"dump a.dat", "info a.dat", "channels a.dat", "export-csv a.dat -",
                                  "--help", "--version", "help dump"}) {
        EXPECT_EQ(Shell(Cli() + " " + cmd + " > /dev/full 2> err"), 1) << cmd;
        const std::string name = cmd.substr(0, cmd.find(' '));
        EXPECT_EQ(Slurp(dir / "err"),
                  "rm427-cli: " + name + ": cannot write the output: No space left on device\n");
    }
    EXPECT_EQ(Shell(Cli() + " diff a.dat a.dat > /dev/full"), 0);  // equal: nothing to print
}

// Every command that saves a data file keeps a copy, as the program does.
TEST_F(CliFilesTest, EverySaveKeepsAHistoryCopy) {
    Write("c.csv", "Channel,RxFreq\n1,145.5\n");
    for (const std::string cmd :
         {"new a.dat", "export-image a.dat a.bin", "import-image a.bin b.dat", "import-csv c.csv a.dat"})
        ASSERT_EQ(Run(cmd).code, 0) << cmd;
    const std::string h = Run("history").out;
    EXPECT_EQ(std::count(h.begin(), h.end(), '\n'), 3) << h;  // export-image saves no data file
    EXPECT_NE(h.find("\tsave\tb.dat\t"), std::string::npos) << h;
}

TEST_F(CliFilesTest, OversizedInputIsRefusedWithoutReadingIt) {
    Write("big.dat", std::string(64 * 1024 + 1, '\0'));
    Result r = Run("dump big.dat");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "rm427-cli: cannot read big.dat: the file is larger than 64 KiB\n");

    // A CSV just over 16 MiB: refused at once (the file is sparse, not read).
    {
        std::ofstream f(dir / "big.csv", std::ios::binary);
        f.seekp(16 * 1024 * 1024);
        f.put('\n');
    }
    r = Run("import-csv big.csv a.dat");
    EXPECT_EQ(r.err, "rm427-cli: cannot read big.csv: the file is larger than 16 MiB\n");
    EXPECT_FALSE(fs::exists(dir / "a.dat"));
}

}  // namespace
}  // namespace rm427::test
