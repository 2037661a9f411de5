// rm427-cli write --verify and the band check report against the simulator.
#include <fstream>

#include "SimHarness.h"
#include "demo/DemoCodeplug.h"
#include "file/DataFile.h"

namespace rm427::e2e {
namespace {

// The demonstration codeplug with channel 2 transmitting at 440.1 MHz.
std::string WriteSample() {
    Module1 state;
    state.Image = DemoCodeplug();
    ChannelRows rows = MakeChannelRows(state);
    LoadChannelRows(state, rows);
    rows[2][colTxFreq] = "440.10000";
    SaveChannelRows(state, rows);
    return WriteDataFile(Dir() + "sample.dat", state.Image);
}

using CliVerify = SimFixture;

TEST_F(CliVerify, VerifyPassesListsTheBandCheckAndCatchesAFlippedByte) {
    const std::string in = WriteSample();
    sim.With([](sim::RadioModel& m) {
        m.bandLow = 4340;
        m.bandHigh = 4370;
    });
    auto historyLines = [] {
        const CliResult h = RunCli("history");
        EXPECT_EQ(h.code, 0) << h.err;
        std::vector<std::string> v;
        std::size_t at = 0;
        for (std::size_t nl; (nl = h.out.find('\n', at)) != std::string::npos; at = nl + 1)
            v.push_back(h.out.substr(at, nl - at));
        return v;
    };
    const std::size_t before = historyLines().size();
    // Verify is the default. A bit changed at 0xAED3 cannot be read back, and
    // the result says what it could not see.
    sim.With([](sim::RadioModel& m) { m.faults.push_back({sim::FaultKind::Flip, 116, 1, 0}); });
    const CliResult ok = RunCli("write --port " + sim.SlavePath() + " " + in);
    ASSERT_EQ(ok.code, 0) << ok.err;
    EXPECT_EQ(ok.out,
              "Writing completed!\nVerified: the radio holds what was written.\nNot read back, "
              "so not verified: the three fixed bytes at 0xAED3 and the four bytes after "
              "each block's 18th record.\n");
    EXPECT_NE(ok.err.find(
                  "The radio's band is 434.0 - 437.0 MHz. The band check changed these channels:\n"
                  "Channel 2 (Rx 436.70000, Tx 440.10000): transmit outside the band, offset removed.\n"
                  "Channel 10 (Rx 441.62500, Tx 441.62500): receive outside the band, sent as empty.\n"),
              std::string::npos)
        << ok.err;
    EXPECT_NE(ok.err.find("Channel 14 (Rx 452.55000"), std::string::npos) << ok.err;
    EXPECT_NE(ok.err.find("Verifying: Completion percentage:  100%"), std::string::npos) << ok.err;
    // The verify is a read exchange of its own, after the write's "DONE"
    // (and the write follows the probe's access word and "DONE").
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2u + 118u + 132u);
    EXPECT_EQ(frames[119].kind, "done");
    EXPECT_EQ(frames[120].kind, "access");
    EXPECT_EQ(frames[121].kind, "read");
    // The history keeps what was sent: five channels fewer after the band check.
    auto lines = historyLines();
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_NE(lines[0].find("\twrite\tsample.dat\t400 - 470(MHz)\t7\t"), std::string::npos) << lines[0];
    sim.With([](sim::RadioModel& m) { m.ClearFrames(); });
    const CliResult unchecked = RunCli("write --no-verify --port " + sim.SlavePath() + " " + in);
    EXPECT_EQ(unchecked.out, "Writing completed!\n");
    EXPECT_EQ(Frames().size(), 2u + 118u);
    const CliResult read = RunCli("read --port " + sim.SlavePath() + " " + Dir() + "back.dat");
    ASSERT_EQ(read.code, 0) << read.err;
    lines = historyLines();
    ASSERT_EQ(lines.size(), before + 3);
    // (A read does not fetch the model byte: the band is that of a new image.)
    EXPECT_NE(lines[0].find("\tread\tback.dat\t400 - 470(MHz)\t7\t"), std::string::npos) << lines[0];

    // A radio that stores channel 1's first byte with a bit changed but says 0x06.
    // (Step 1 of the probe is its "DONE": it takes the first of the two.)
    sim.With([](sim::RadioModel& m) { m.faults.push_back({sim::FaultKind::Flip, 1, 2, 0}); });
    const CliResult bad = RunCli("write --verify --port " + sim.SlavePath() + " " + in);
    EXPECT_EQ(bad.code, 3) << bad.err;
    EXPECT_EQ(
        bad.out.rfind(
            "Writing completed!\nchannel 1: Rx Freq \"436.52000\" -> \"410.92000\"\nchannel 1: Tx Freq ",
            0),
        0u)
        << bad.out;
    EXPECT_NE(bad.err.find("rm427-cli: write: Verify failed: the radio does not hold what was written "
                           "(2 differences)."),
              std::string::npos)
        << bad.err;

    // A verify read that fails is a failed exchange: exit 1.
    // (Step 130 exists only in the read script.)
    sim.With([](sim::RadioModel& m) { m.faults.push_back({sim::FaultKind::NoAnswer, 130, 1, 0}); });
    const CliResult lost = RunCli("write --verify --port " + sim.SlavePath() + " " + in);
    EXPECT_EQ(lost.code, 1);
    EXPECT_NE(lost.err.find("rm427-cli: write: Verifying: Check Connection."), std::string::npos)
        << lost.err;

    // A device that is not there is explained as the port window does.
    const CliResult gone = RunCli("write --port /dev/nonexistent-rm427 " + in);
    EXPECT_EQ(gone.code, 1);
    EXPECT_NE(gone.err.find("write: /dev/nonexistent-rm427: no such device (is the cable plugged in?)."),
              std::string::npos)
        << gone.err;
    const CliResult file = RunCli("write --port " + in + " " + in);
    EXPECT_NE(file.err.find("write: " + in + ": not a serial port."), std::string::npos) << file.err;
}

}  // namespace
}  // namespace rm427::e2e
