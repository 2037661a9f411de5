// rm427-cli's command line as a user types it: the program's and the
// commands' options, help, and the one-line messages for what is wrong.
#include <gtest/gtest.h>

#include "CliFixture.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using rm427::test::Result;

struct Fault {
    const char* args;
    int code;
    const char* message;  // stderr without "rm427-cli: " and the newline
};

class OptionsCliTest : public rm427::test::CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        ASSERT_EQ(Run("new a.dat").code, 0);
        ASSERT_EQ(Run("new b.dat").code, 0);
    }
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
        return names;
    }
    // Each fault: its exit code, its one line, nothing on stdout, no file made.
    void ExpectFaults(const std::vector<Fault>& faults) {
        const std::set<std::string> before = Files();
        for (const Fault& f : faults) {
            const Result r = Run(f.args);
            EXPECT_EQ(r.code, f.code) << f.args;
            EXPECT_EQ(r.err, std::string("rm427-cli: ") + f.message + "\n") << f.args;
            EXPECT_EQ(r.out, "") << f.args;
            EXPECT_EQ(Files(), before) << f.args;
        }
    }
    bool HasRadioCommands() { return Run("read --help").code == 0; }
};

TEST_F(OptionsCliTest, DataCommandsNameTheFaultInOneLine) {
    ExpectFaults({
        {"bogus a.dat", 1, "unknown command 'bogus' (rm427-cli --help lists the commands)"},
        {"-x", 1, "unknown command '-x' (rm427-cli --help lists the commands)"},
        {"info", 1, "info: expected 1 argument, got 0 (see rm427-cli info --help)"},
        {"info a.dat b.dat", 1, "info: expected 1 argument, got 2 (see rm427-cli info --help)"},
        {"info -x a.dat", 1, "info: unknown option '-x' (see rm427-cli info --help)"},
        // A name that looks like an option is never taken for a file.
        {"info -5", 1, "info: unknown option '-5' (see rm427-cli info --help)"},
        {"info --", 1, "info: unknown option '--' (see rm427-cli info --help)"},
        {"new -q n.dat", 1, "new: unknown option '-q' (see rm427-cli new --help)"},
        {"export-csv --format", 1, "export-csv: --format needs a value (own or common)"},
        {"export-csv a.dat out.csv --format", 1, "export-csv: --format needs a value (own or common)"},
        {"export-csv --format odd a.dat out.csv", 1, "export-csv: unknown format 'odd' (own or common)"},
        {"export-csv --force a.dat out.csv", 1,
         "export-csv: unknown option '--force' (see rm427-cli export-csv --help)"},
        {"export-csv a.dat", 1,
         "export-csv: expected 2 arguments, got 1 (see rm427-cli export-csv --help)"},
        {"import-csv --format xml in.csv a.dat", 1, "import-csv: unknown format 'xml' (own or common)"},
        {"import-csv in.csv a.dat --format", 1, "import-csv: --format needs a value (own or common)"},
        {"import-csv -f in.csv a.dat", 1,
         "import-csv: unknown option '-f' (see rm427-cli import-csv --help)"},
        {"export-image a.dat a.dat", 1,
         "export-image: a.dat and a.dat are the same file; nothing written"},
        // diff keeps 1 for "they differ", so its faults are 2.
        {"diff a.dat", 2, "diff: expected 2 arguments, got 1 (see rm427-cli diff --help)"},
        {"diff -x a.dat b.dat", 2, "diff: unknown option '-x' (see rm427-cli diff --help)"},
    });
}

TEST_F(OptionsCliTest, HelpAnywhereShowsTheCommandAndRunsNothing) {
    const std::set<std::string> before = Files();
    for (const char* args : {"export-csv a.dat out.csv --help", "export-csv --bogus -h a.dat out.csv",
                             "import-csv -h", "new n.dat -h", "help new"}) {
        const Result r = Run(args);
        EXPECT_EQ(r.code, 0) << args;
        EXPECT_EQ(r.out.rfind("usage: rm427-cli ", 0), 0u) << args << "\n" << r.out;
        EXPECT_EQ(r.err, "") << args;
    }
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(Run("diff --help").code, 0);  // not 2, though diff's faults are

    Result r = Run("");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.out.find("Commands:\n"), std::string::npos);
    for (const char* args : {"--help", "-h", "help", "--help info"}) {
        r = Run(args);
        EXPECT_EQ(r.code, 0) << args;
        EXPECT_NE(r.out.find("Commands:\n"), std::string::npos) << args;
    }
    r = Run("--version");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("rm427-cli ", 0), 0u);
    // After the command, --version is the command's (unknown) option.
    EXPECT_EQ(Run("info --version a.dat").code, 1);
}

TEST_F(OptionsCliTest, ValueFormsAndRepeatsAreTaken) {
    const std::string common = Run("export-csv --format common a.dat -").out;
    ASSERT_EQ(common.rfind("Location,", 0), 0u) << common;
    EXPECT_EQ(Run("export-csv --format=common a.dat -").out, common);
    EXPECT_EQ(Run("export-csv --format own --format common a.dat -").out, common);
    EXPECT_NE(Run("export-csv --format common --format own a.dat -").out, common);

    ASSERT_EQ(Run("export-csv a.dat own.csv").code, 0);
    const Result r = Run("import-csv --force --force --format own own.csv b.dat");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Run("diff a.dat b.dat").code, 0);
}

// The commands that need Qt: read, write and history.
TEST_F(OptionsCliTest, RadioCommandsRefuseBadArgumentsBeforeThePort) {
    if (!HasRadioCommands()) GTEST_SKIP() << "built without the radio commands";
    ExpectFaults({
        {"read a.dat", 1, "read: --port N|PATH is required"},
        {"read --port", 1, "read: --port needs a value"},
        {"read --port 3", 1, "read: expected one data file"},
        {"read --port 3 x.dat y.dat", 1, "read: expected one data file"},
        {"read --port 3 --verify x.dat", 1, "read: unknown option '--verify'"},
        {"read --retries abc --port 3 x.dat", 1, "read: --retries takes a number 0..100"},
        {"read --retries 101 --port 3 x.dat", 1, "read: --retries takes a number 0..100"},
        {"read --retries -1 --port 3 x.dat", 1, "read: --retries takes a number 0..100"},
        {"read --port 0 x.dat", 1, "read: port number must be 1..20 (or a device path)"},
        {"read --port 3 --port 21 x.dat", 1, "read: port number must be 1..20 (or a device path)"},
        {"write --port 3 --verify", 1, "write: expected one data file"},
        {"write --verify --verify --port 21 a.dat", 1,
         "write: port number must be 1..20 (or a device path)"},
        {"history x", 1, "history: takes no arguments"},
        {"write --port 3 missing.dat", 1, "cannot read missing.dat: No such file or directory"},
    });
    const Result r = Run("write -h --port");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("usage: rm427-cli write", 0), 0u);
}

}  // namespace
