// rm427-cli read and write against the simulator, as a user runs them.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "../core/HeldPty.h"
#include "SimHarness.h"
#include "file/DataFile.h"

namespace rm427::e2e {
namespace {

std::vector<std::uint8_t> Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using CliRadio = SimFixture;

TEST_F(CliRadio, ReadWritesADataFileOfTheRadioMemoryOnlyOnSuccess) {
    const std::string out = Dir() + "rm427-read.dat";
    std::remove(out.c_str());
    const CliResult r = RunCli("read --port " + sim.SlavePath() + " " + out);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Reading completed!\n");
    EXPECT_NE(r.err.find("Completion percentage:  100%"), std::string::npos);
    CodeplugImage img{};
    ASSERT_TRUE(DecodeDataFile(Slurp(out), img));
    const Module1 fresh;
    const auto mem = sim.With([](sim::RadioModel& m) { return m.memory; });
    for (int off = 0; off < kImageSize; ++off)
        ASSERT_EQ(img[off], ReadTransfersOffset(off) ? mem[off] : fresh.Image[off]) << std::hex << off;

    // A radio that hangs up halfway: failure, and the earlier file is untouched.
    const auto earlier = Slurp(out);
    sim.With([](sim::RadioModel& m) { m.faults.push_back({sim::FaultKind::HangUp, 20, 1, 0}); });
    const CliResult f = RunCli("read --retries 2 --port " + sim.SlavePath() + " " + out);
    EXPECT_NE(f.code, 0);
    EXPECT_NE(f.err.find("rm427-cli: read: "), std::string::npos) << f.err;
    EXPECT_EQ(Slurp(out), earlier);
}

// A NAK without retries fails the write: cli_interrupt_e2e_test (its message and
// exit code) and clone_e2e_test (the radio hears "DONE").
TEST_F(CliRadio, WriteRetriesAfterANakAndSendsTheFile) {
    Module1 state;
    for (int i = 0; i < 14; ++i) state.Image[i] = static_cast<std::uint8_t>(0x10 + i);
    const std::string in = WriteDataFile(Dir() + "rm427-write.dat", state.Image);
    sim.With([](sim::RadioModel& m) {
        m.bandLow = 1000;  // every channel in band (100 - 550 MHz)
        m.bandHigh = 5500;
        m.faults.push_back({sim::FaultKind::Nak, 7, 1, 0});
    });
    const CliResult r = RunCli("write --no-verify --retries 1 --port " + sim.SlavePath() + " " + in);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Writing completed!\n");
    EXPECT_NE(r.err.find("retrying (1 of 1)"), std::string::npos) << r.err;
    const auto mem = sim.With([](sim::RadioModel& m) { return m.memory; });
    for (int off = 0; off < kImageSize; ++off) {
        if (WriteTransfersOffset(off)) {
            ASSERT_EQ(mem[off], state.Image[off]) << std::hex << off;
        }
    }
}

TEST_F(CliRadio, PortNumberFollowsTheSettingsStoreOverride) {
    const std::string ini = Dir() + "rm427-ports.ini";
    {
        std::ofstream f(ini, std::ios::trunc);
        f << "[SoftWare]\nRM-427\\Ports\\COM7=" << sim.SlavePath() << "\n";
    }
    const std::string out = Dir() + "rm427-com7.dat";
    std::remove(out.c_str());
    // The radio refuses the first request: short run, but it was this radio.
    sim.With([](sim::RadioModel& m) { m.faults.push_back({sim::FaultKind::Nak, 1, 1, 0}); });
    const CliResult r = RunCli("read --port 7 " + out, "RM427_SETTINGS_FILE=" + ini + " ");
    EXPECT_EQ(r.code, 1) << r.err;
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].kind, "access");
    EXPECT_EQ(frames[2].kind, "done");
    const CliResult m = RunCli("read --port 8 " + out, "RM427_SETTINGS_FILE=" + ini + " ");
    EXPECT_NE(m.err.find("/dev/ttyUSB7"), std::string::npos) << m.err;
}

}  // namespace
}  // namespace rm427::e2e

namespace rm427::e2e {
namespace {

// rm427-cli ports: a free pseudo-terminal at COM5, then held open by a child.
TEST_F(CliRadio, PortsListsEachDeviceWithItsStateAndWhoHoldsIt) {
    test::HeldPty pty;
    ASSERT_FALSE(pty.path.empty());
    const std::string name = pty.path;
    const std::string ini = Dir() + "rm427-ports-list.ini";
    std::ofstream(ini, std::ios::trunc) << "[SoftWare]\nRM-427\\Ports\\COM5=" << name << "\n";
    const std::string env = "RM427_SETTINGS_FILE=" + ini + " ";
    const std::string line = "COM5\t" + name + "\t-\t";
    CliResult r = RunCli("ports", env);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find(line + "free\t\n"), std::string::npos) << r.out;

    ASSERT_TRUE(pty.Hold());
    const pid_t child = pty.child;
    r = RunCli("ports", env);
    pty.Release();
    EXPECT_NE(r.out.find(line + "in use\t" + name + " is held open by "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(pid " + std::to_string(child) + ")"), std::string::npos) << r.out;
    EXPECT_EQ(RunCli("ports extra").code, 1);
}

}  // namespace
}  // namespace rm427::e2e
