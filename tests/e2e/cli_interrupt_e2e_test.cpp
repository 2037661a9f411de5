// rm427-cli read and write stopped by a signal, and refused before the port,
// against the simulator paced at the real line rate.
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SimHarness.h"
#include "file/DataFile.h"
#include "file/History.h"

namespace rm427::e2e {
namespace {

namespace fs = std::filesystem;

class CliInterrupt : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        std::string t = ::testing::TempDir() + "rm427-int-XXXXXX";
        dir = std::string(::mkdtemp(t.data())) + "/";
    }
    void TearDown() override { fs::remove_all(dir); }

    // Starts rm427-cli with stdout and stderr into files, the history in the
    // test's folder; inChild changes the rest. Returns its process id.
    pid_t Start(const std::vector<std::string>& args, const std::function<void()>& inChild = {}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int err = ::open((dir + "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int out = ::open((dir + "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::signal(SIGPIPE, SIG_DFL);  // as a shell starts it
            ::setenv("XDG_DATA_HOME", dir.substr(0, dir.size() - 1).c_str(), 1);
            ::dup2(err, 2);
            ::dup2(out, 1);
            if (inChild) inChild();
            std::vector<char*> argv{const_cast<char*>(RM427_CLI)};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(RM427_CLI, argv.data());
            ::_exit(127);
        }
        return pid;
    }
    int Wait(pid_t pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Err(const std::string& name = "err.txt") {
        std::ifstream e(dir + name);
        return {std::istreambuf_iterator<char>(e), std::istreambuf_iterator<char>()};
    }
    // Waits (up to 20 s) until the radio has taken n frames.
    bool WaitForFrames(std::size_t n) {
        for (int i = 0; i < 2000; ++i) {
            if (Frames().size() >= n) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    std::string DataFile() { return WriteDataFile(dir + "in.dat", Module1().Image); }

    std::string dir;
};

TEST_F(CliInterrupt, SignalsCancelTheExchangeAndTheRadioHearsDone) {
    sim.SetByteTime(sim::kByteTimeMs2400);
    sim.With([](sim::RadioModel& m) {
        m.bandLow = 1000;
        m.bandHigh = 5500;
    });
    const std::string in = DataFile();  // a new image: no channel, so only --force writes it

    // Ctrl-C, a closed terminal or SSH session, Ctrl-\: the radio hears "DONE".
    pid_t pid = 0;
    for (int sig : {SIGINT, SIGHUP, SIGQUIT}) {
        sim.With([](sim::RadioModel& m) { m.ClearFrames(); });
        pid = Start({"write", "--force", "--port", sim.SlavePath(), in});
        ASSERT_TRUE(WaitForFrames(2 + 4));  // the probe, then the write
        ::kill(pid, sig);
        EXPECT_EQ(Wait(pid), 128 + sig);
        EXPECT_NE(
            Err().find("rm427-cli: write: Interrupted. The radio may be partly written: write again."),
            std::string::npos)
            << Err();
        EXPECT_EQ(LastFrameKind("done"), "done") << sig;
    }

    sim.With([](sim::RadioModel& m) { m.ClearFrames(); });
    const std::string out = dir + "out.dat";
    pid = Start({"read", "--port", sim.SlavePath(), out});
    ASSERT_TRUE(WaitForFrames(3));
    ::kill(pid, SIGTERM);
    EXPECT_EQ(Wait(pid), 143);
    EXPECT_NE(Err().find("rm427-cli: read: Interrupted. The radio is unchanged."), std::string::npos)
        << Err();
    EXPECT_EQ(LastFrameKind("done"), "done");
    EXPECT_FALSE(fs::exists(out));

    // A closed pipe on stderr (`2>&1 | head -c 20`) does not stop a write.
    sim.SetByteTime(0);
    sim.With([](sim::RadioModel& m) { m.ClearFrames(); });
    pid = Start({"write", "--force", "--no-verify", "--port", sim.SlavePath(), in}, [] {
        int p[2];
        if (::pipe(p) == 0 && ::close(p[0]) == 0) ::dup2(p[1], 2);
    });
    EXPECT_EQ(Wait(pid), 0);
    EXPECT_EQ(Frames().size(), 2u + 118u);

    // A signal in the 100 ms after "DONE": the write is complete and kept,
    // only the verify that would follow is left out.
    sim.With([](sim::RadioModel& m) { m.ClearFrames(); });
    pid = Start({"write", "--force", "--port", sim.SlavePath(), in});
    const auto writeDone = [this] {  // the probe's "DONE" comes first
        int n = 0;
        for (const auto& f : Frames()) n += f.kind == "done";
        return n == 2;
    };
    for (int i = 0; i < 20000 && !writeDone(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(pid, SIGTERM);
    EXPECT_EQ(Wait(pid), 143);
    EXPECT_EQ(Err("out.txt"), "Writing completed!\n");
    EXPECT_NE(Err().find("write: Interrupted after the write had completed"), std::string::npos)
        << Err();
    EXPECT_EQ(Frames().size(), 2u + 118u);  // the probe, the write, no verify read
    EXPECT_EQ(ListHistory(dir + "rm427/history").size(), 2u);

    // A write that fails midway says the same about the radio; a line that
    // went away says so first.
    for (auto kind : {sim::FaultKind::Nak, sim::FaultKind::HangUp}) {
        sim.With([kind](sim::RadioModel& m) { m.faults = {{kind, 30, 1, 0}}; });
        pid = Start({"write", "--force", "--port", sim.SlavePath(), in});
        EXPECT_EQ(Wait(pid), 1);
        EXPECT_NE(Err().find(std::string("Check Connection. ") +
                             (kind == sim::FaultKind::HangUp
                                  ? "The cable was unplugged or the port went away. "
                                  : "") +
                             "The radio may be partly written: write again."),
                  std::string::npos)
            << Err();
    }
}

// Little room left (here: a 32 KiB file size limit) is room enough for a
// data file; a file that cannot be saved after the read says where the read
// is kept.
TEST_F(CliInterrupt, ReadNeedsRoomForADataFileAndKeepsTheReadWhenTheSaveFails) {
    pid_t pid = Start({"read", "--port", sim.SlavePath(), dir + "small.dat"}, [] {
        ::signal(SIGXFSZ, SIG_IGN);  // EFBIG, as a full disk gives ENOSPC
        const rlimit limit{32 * 1024, 32 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(Wait(pid), 0) << Err();
    EXPECT_TRUE(fs::exists(dir + "small.dat"));

    sim.With([](sim::RadioModel& m) { m.ClearFrames(); });
    fs::create_directory(dir + "gone");
    pid = Start({"read", "--port", sim.SlavePath(), dir + "gone/out.dat"});
    ASSERT_TRUE(WaitForFrames(3));
    fs::remove_all(dir + "gone");
    EXPECT_EQ(Wait(pid), 1);
    const auto kept = ListHistory(dir + "rm427/history");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_NE(Err().find("rm427-cli: cannot write " + dir +
                         "gone/out.dat: No such file or directory\n"
                         "rm427-cli: read: The read is kept in the history: " +
                         kept[0].path + "\n"),
              std::string::npos)
        << Err();
}

TEST_F(CliInterrupt, BadFilesAreFoundBeforeThePortIsOpened) {
    pid_t pid = Start({"read", "--port", sim.SlavePath(), dir + "missing/out.dat"});
    EXPECT_EQ(Wait(pid), 1);
    EXPECT_EQ(Err(), "rm427-cli: read: cannot write " + dir +
                         "missing/out.dat: No such file or directory; the radio was not read\n");

    std::ofstream(dir + "ro.dat") << "x";
    fs::permissions(dir + "ro.dat", fs::perms::owner_read);
    pid = Start({"read", "--port", sim.SlavePath(), dir + "ro.dat"});
    EXPECT_EQ(Wait(pid), 1);
    EXPECT_NE(Err().find("the file is read-only"), std::string::npos) << Err();

    std::ofstream(dir + "junk.dat") << "not a data file";
    pid = Start({"write", "--port", sim.SlavePath(), dir + "junk.dat"});
    EXPECT_EQ(Wait(pid), 1);
    EXPECT_EQ(sim.BytesIn(), 0);  // the radio never heard a byte
}

}  // namespace
}  // namespace rm427::e2e
