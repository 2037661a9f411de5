// Saving onto every kind of target and reading with limits, on real files,
// links, FIFOs and device nodes made in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#endif

#include "FileTestHelpers.h"
#include "file/FileIo.h"

using namespace rm427;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

class FileIoTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("rm427-fileio-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        test::RemoveTestFolder(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { test::RemoveTestFolder(dir); }
    std::string P(const std::string& name) const { return (dir / name).string(); }
    static Bytes Read(const std::string& path) {
        Bytes b;
        std::string e;
        EXPECT_TRUE(ReadWholeFile(path, b, e)) << e;
        return b;
    }
    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static unsigned Mode(const std::string& path) {
#ifdef _WIN32
        // Windows knows only "read-only" (0444) or not (0666).
        return static_cast<unsigned>(fs::status(path).permissions() & fs::perms::all);
#else
        struct stat st {};
        ::lstat(path.c_str(), &st);
        return st.st_mode & 07777;
#endif
    }

    fs::path dir;
    std::string error;
    const Bytes data{'n', 'e', 'w', 0, 0xFF};
};

TEST_F(FileIoTest, RegularFileReplacedKeepingItsModeAndNothingElseLeft) {
    Write(P("a.dat"), "old");
    ASSERT_EQ(::chmod(P("a.dat").c_str(), 0600), 0);
    ASSERT_EQ(SaveFile(P("a.dat"), data, error), SaveResult::Saved) << error;
    EXPECT_EQ(Read(P("a.dat")), data);
#ifndef _WIN32
    EXPECT_EQ(Mode(P("a.dat")), 0600u);
#endif

    ASSERT_EQ(SaveFile(P("fresh.dat"), data, error), SaveResult::Saved) << error;
    EXPECT_EQ(Read(P("fresh.dat")), data);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a.dat", "fresh.dat"}));
}

#ifndef _WIN32
// Links (Windows lets only administrators make them), FIFOs and device nodes.
TEST_F(FileIoTest, LinksAreFollowedAndKept) {
    Write(P("real.dat"), "old");
    fs::create_directories(dir / "sub");
    fs::create_symlink("../real.dat", dir / "sub" / "rel.dat");
    fs::create_symlink(dir / "sub" / "rel.dat", dir / "abs.dat");  // a chain of two
    ASSERT_EQ(SaveFile(P("abs.dat"), data, error), SaveResult::Saved) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "abs.dat"));
    EXPECT_TRUE(fs::is_symlink(dir / "sub" / "rel.dat"));
    EXPECT_EQ(Read(P("real.dat")), data);

    // A dangling link gets its file.
    fs::create_symlink("later.dat", dir / "dangling.dat");
    ASSERT_EQ(SaveFile(P("dangling.dat"), data, error), SaveResult::Saved) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.dat"));
    EXPECT_EQ(Read(P("later.dat")), data);

    fs::create_symlink("loop1", dir / "loop2");
    fs::create_symlink("loop2", dir / "loop1");
    EXPECT_EQ(SaveFile(P("loop1"), data, error), SaveResult::Failed);
    EXPECT_EQ(error, "Too many levels of symbolic links");
}

TEST_F(FileIoTest, FifoAndDeviceNodesAreWrittenIntoNotReplaced) {
    ASSERT_EQ(::mkfifo(P("pipe").c_str(), 0600), 0);
    Bytes got;
    std::thread reader([&] {
        std::string e;
        ReadWholeFile(P("pipe"), got, e);
    });
    EXPECT_EQ(SaveFile(P("pipe"), data, error), SaveResult::Saved) << error;
    reader.join();
    EXPECT_EQ(got, data);
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));

    // A full device: the system's reason, and the node stays a node.
    EXPECT_EQ(SaveFile("/dev/full", data, error), SaveResult::Failed);
    EXPECT_EQ(error, "No space left on device");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));

    // A null device node of our own, also reached through a link.
    if (::mknod(P("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "mknod needs root; the character device case was not run";
    fs::create_symlink("null", dir / "to-null");
    EXPECT_EQ(SaveFile(P("null"), data, error), SaveResult::Saved) << error;
    EXPECT_EQ(SaveFile(P("to-null"), data, error), SaveResult::Saved) << error;
    EXPECT_TRUE(fs::is_character_file(dir / "null"));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"null", "pipe", "to-null"}));
}
#endif

#ifndef _WIN32
// Where a new file cannot take the old one's place - more names than one, a
// folder the user may not write, someone else's file in a sticky shared
// folder - the file is written into: same inode, owner and links, the
// previous content handed over first and put back when the new one fails.
TEST_F(FileIoTest, SavesThatWouldChangeTheFilesIdentityWriteIntoIt) {
    const Bytes old{'o', 'l', 'd'};
    Write(P("a.dat"), "old");
    fs::create_hard_link(P("a.dat"), P("b.dat"));
    Bytes previous;
    const KeepPrevious keep = [&](const Bytes& b) { previous = b; };
    ASSERT_EQ(SaveFile(P("a.dat"), data, error, false, keep), SaveResult::Saved) << error;
    EXPECT_EQ(previous, old);
    EXPECT_EQ(Read(P("b.dat")), data);

    if (::geteuid() != 0)
        GTEST_SKIP() << "not root, so no other user to be: the folder cases were not run";
    const uid_t nobody = 65534;
    fs::create_directories(dir / "locked");
    fs::create_directories(dir / "shared");
    const std::string files[] = {P("locked/mine.dat"), P("shared/theirs.dat")};
    for (const auto& f : files) Write(f, "old");
    ASSERT_EQ(::chmod(dir.c_str(), 0755) | ::chmod(P("shared").c_str(), 01777) |
                  ::chown(files[0].c_str(), nobody, nobody) | ::chmod(files[1].c_str(), 0666),
              0);
    struct stat before[2], after[2];
    for (int i = 0; i < 2; ++i) ::stat(files[i].c_str(), &before[i]);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(99);
        int failed = 0;
        for (int i = 0; i < 2; ++i) {
            previous.clear();
            if (SaveFile(files[i], data, error, false, keep) != SaveResult::Saved || previous != old)
                failed |= 1 << i;
        }
        ::signal(SIGXFSZ, SIG_IGN);  // no room for 64 bytes: EFBIG, the 5 bytes go back
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(SaveFile(files[0], Bytes(64, 'x'), error, false, keep) == SaveResult::Failed ? failed
                                                                                             : 4);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    for (int i = 0; i < 2; ++i) {
        ::stat(files[i].c_str(), &after[i]);
        EXPECT_EQ(Read(files[i]), data) << i;
        EXPECT_TRUE(after[i].st_ino == before[i].st_ino && after[i].st_uid == before[i].st_uid) << i;
    }
}
#endif

TEST_F(FileIoTest, ReadOnlyIsRefusedUnlessReplacingIsAsked) {
    Write(P("ro.dat"), "old");
    ASSERT_EQ(::chmod(P("ro.dat").c_str(), 0444), 0);
    EXPECT_EQ(SaveFile(P("ro.dat"), data, error), SaveResult::ReadOnly);
    EXPECT_EQ(error, "the file is read-only");
    EXPECT_EQ(Read(P("ro.dat")), (Bytes{'o', 'l', 'd'}));
    EXPECT_FALSE(CheckSaveTarget(P("ro.dat"), 10, error));

    ASSERT_EQ(SaveFile(P("ro.dat"), data, error, true), SaveResult::Saved) << error;
    EXPECT_EQ(Read(P("ro.dat")), data);
    EXPECT_EQ(Mode(P("ro.dat")), 0444u);
}

TEST_F(FileIoTest, SystemReasonsAndLongNames) {
    EXPECT_EQ(SaveFile(P("none/a.dat"), data, error), SaveResult::Failed);
    test::ExpectMissingFolderReason(error);
    EXPECT_FALSE(CheckSaveTarget(P("none/a.dat"), 10, error));
    test::ExpectMissingFolderReason(error);
    EXPECT_EQ(SaveFile(dir.string(), data, error), SaveResult::Failed);
    EXPECT_EQ(error, "Is a directory");

#ifndef _WIN32
    // The longest valid name saves (the temporary name does not grow with it);
    // one more character is the system's "File name too long".
    const std::string longest(NAME_MAX, 'x');
    ASSERT_EQ(SaveFile(P(longest), data, error), SaveResult::Saved) << error;
    ASSERT_EQ(SaveFile(P(longest), data, error), SaveResult::Saved) << error;
    EXPECT_EQ(Read(P(longest)), data);
    EXPECT_EQ(SaveFile(P(longest + "x"), data, error), SaveResult::Failed);
    EXPECT_EQ(error, "File name too long");

    EXPECT_TRUE(CheckSaveTarget(P("new.dat"), 4096, error)) << error;
    EXPECT_EQ(Entries(), std::vector<std::string>{longest});
#else
    EXPECT_TRUE(CheckSaveTarget(P("new.dat"), 4096, error)) << error;
    EXPECT_TRUE(fs::is_empty(dir));
#endif
}

TEST_F(FileIoTest, SameFileByDeviceAndInode) {
    Write(P("a.dat"), "a");
    Write(P("b.dat"), "a");
    fs::create_hard_link(dir / "a.dat", dir / "hard.dat");
#ifndef _WIN32
    fs::create_symlink("a.dat", dir / "link.dat");
    EXPECT_TRUE(SameFile(P("a.dat"), P("link.dat")));
#endif
    EXPECT_TRUE(SameFile(P("a.dat"), P("hard.dat")));
    EXPECT_TRUE(SameFile(P("a.dat"), (dir / "." / "a.dat").string()));
    EXPECT_FALSE(SameFile(P("a.dat"), P("b.dat")));
    EXPECT_FALSE(SameFile(P("a.dat"), P("missing.dat")));
}

TEST_F(FileIoTest, LimitsRefuseLargeFilesAndEndlessDevices) {
    Write(P("max"), std::string(kDataFileLimit, 'x'));
    Write(P("over"), std::string(kDataFileLimit + 1, 'x'));
    Bytes b;
    EXPECT_TRUE(ReadWholeFile(P("max"), b, error, kDataFileLimit));
    EXPECT_EQ(b.size(), kDataFileLimit);
    EXPECT_FALSE(ReadWholeFile(P("over"), b, error, kDataFileLimit));
    EXPECT_EQ(error, "the file is larger than 64 KiB");
    EXPECT_EQ(b.size(), kDataFileLimit);  // untouched on failure
#ifndef _WIN32

    // A device that never ends is read up to the limit only.
    EXPECT_FALSE(ReadWholeFile("/dev/zero", b, error, kCsvFileLimit));
    EXPECT_EQ(error, "the file is larger than 16 MiB");

    // So is a pipe whose writer goes on.
    ASSERT_EQ(::mkfifo(P("pipe").c_str(), 0600), 0);
    std::thread writer([&] {
        const int fd = ::open(P("pipe").c_str(), O_WRONLY);
        const std::string chunk(4096, 'y');
        while (fd >= 0 && ::write(fd, chunk.data(), chunk.size()) > 0) {
        }
        if (fd >= 0) ::close(fd);
    });
    ::signal(SIGPIPE, SIG_IGN);
    EXPECT_FALSE(ReadWholeFile(P("pipe"), b, error, kDataFileLimit));
    writer.join();
    EXPECT_EQ(error, "the file is larger than 64 KiB");
#endif
}

}  // namespace
