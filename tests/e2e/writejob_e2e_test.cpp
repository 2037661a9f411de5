// A write with its steps before and after: probe, check, copy of the radio,
// changes, write, verify, restore - against the simulator on a pty.
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "SimHarness.h"
#include "demo/DemoCodeplug.h"
#include "file/DataFile.h"
#include "image/ModelTable.h"
#include "radio/WriteJob.h"

namespace rm427::e2e {
namespace {

using WriteJobE2e = SimFixture;

std::vector<std::string> Kinds(const std::vector<sim::SimFrame>& frames) {
    std::vector<std::string> k;
    for (const auto& f : frames) k.push_back(f.kind);
    return k;
}

bool AnyWrite(const std::vector<sim::SimFrame>& frames) {
    for (const auto& f : frames)
        if (f.kind == "write") return true;
    return false;
}

// The copy is read, the write fails midway (a NAK, no retry) or stores a
// flipped bit; the restore puts the copy back, byte for byte.
TEST_F(WriteJobE2e, AFailedOrWrongWriteIsPutBackFromTheCopy) {
    const auto original = sim.With([](sim::RadioModel& m) { return m.memory; });
    for (const sim::FaultKind fault : {sim::FaultKind::Nak, sim::FaultKind::Flip}) {
        sim.With([&](sim::RadioModel& m) {
            m.memory = original;
            m.bandLow = 4000;  // the demonstration codeplug's band
            m.bandHigh = 4700;
            m.ClearFrames();
        });
        const std::string path = sim.SlavePath();
        QtSerialPort port([path](int) { return path; });
        QtTimerFactory timers;
        QEventLoop loop;
        WriteJob::Result result;
        std::vector<WriteJob::RestoreReason> offers;
        CodeplugImage backup{};
        WriteJob::Callbacks cb;
        cb.confirmCheck = [](const std::vector<CheckLine>&, bool errors) { return !errors; };
        cb.backupTaken = [&](const CodeplugImage& b) {
            backup = b;
            // The fault waits for the write: step 60 of the next exchange.
            sim.With([&](sim::RadioModel& m) { m.faults.push_back({fault, 60, 1, 0}); });
        };
        cb.confirmChanges = [](const std::vector<std::string>& changes) { return !changes.empty(); };
        cb.offerRestore = [&](WriteJob::RestoreReason why, const WriteJob::Result&) {
            offers.push_back(why);
            return true;
        };
        cb.finished = [&](const WriteJob::Result& r) {
            result = r;
            loop.quit();
        };
        WriteJob job(port, timers, 1, path, DemoCodeplug(), {}, cb, FastTiming());
        job.Start();
        loop.exec();

        ASSERT_EQ(result.outcome, WriteJob::Outcome::Restored) << static_cast<int>(result.outcome);
        ASSERT_EQ(offers.size(), 1u);
        EXPECT_EQ(offers[0], fault == sim::FaultKind::Nak ? WriteJob::RestoreReason::WriteFailed
                                                          : WriteJob::RestoreReason::VerifyDiffers);
        EXPECT_TRUE(result.radioTouched);
        const auto mem = sim.With([](sim::RadioModel& m) { return m.memory; });
        for (int off = 0; off < kImageSize; ++off) {
            if (!WriteTransfersOffset(off)) continue;
            ASSERT_EQ(mem[off], backup[off]) << std::hex << off;
            if (ReadTransfersOffset(off)) {
                ASSERT_EQ(mem[off], original[off]) << std::hex << off;
            }
        }
        // probe, copy, write (cut short or whole), [verify,] restore, its verify
        const auto k = Kinds(Frames());
        EXPECT_EQ(std::count(k.begin(), k.end(), "access"), fault == sim::FaultKind::Nak ? 5 : 6);
        EXPECT_EQ(k.back(), "done");
    }
}

// A VHF codeplug into a UHF radio: every channel is named and nothing is
// written without --force; then a preview of the same write finds nothing
// to write; a silent radio stops the check.
TEST_F(WriteJobE2e, CliChecksBeforeWritingWithItsExitCodes) {
    const std::string in = Dir() + "vhf.dat", copy = Dir() + "copy.dat";
    // A VHF codeplug (136 - 174 MHz) with a few channels.
    Module1 vhf;
    WriteModelBytes(vhf.Image, 2);
    ChannelRows rows = MakeChannelRows(vhf);
    for (int n : {1, 2, 5, 9, 40}) {
        rows[n][colRxFreq] = std::to_string(140 + n) + ".12500";
        rows[n][colTxFreq] = rows[n][colRxFreq];
    }
    SaveChannelRows(vhf, rows);
    WriteDataFile(in, vhf.Image);
    std::remove(copy.c_str());
    sim.With([](sim::RadioModel& m) {
        m.bandLow = 4000;
        m.bandHigh = 4700;
    });
    const std::string port = "write --port " + sim.SlavePath() + " ";

    for (const char* how : {"--check ", ""}) {
        const CliResult r = RunCli(port + how + in);
        // Which lines the check gives: writecheck_test CheckBeforeWriteNamesEveryProblemWithItsSeverity.
        EXPECT_EQ(r.code, 4) << how << r.err;
        EXPECT_NE(r.err.find("Warning: Channel 40: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Error: The codeplug is for RM-427(VHF)"), std::string::npos) << r.err;
        EXPECT_FALSE(AnyWrite(Frames()));
    }

    const CliResult forced = RunCli(port + "--force --backup " + copy + " " + in);
    EXPECT_EQ(forced.code, 0) << forced.err;
    EXPECT_TRUE(AnyWrite(Frames()));
    EXPECT_TRUE(std::filesystem::exists(copy));

    sim.With([](sim::RadioModel& m) { m.ClearFrames(); });
    const CliResult preview = RunCli(port + "--force --preview " + in);
    EXPECT_EQ(preview.code, 0) << preview.err;
    EXPECT_EQ(preview.out, "Nothing to write: the radio already holds this codeplug.\n");
    EXPECT_FALSE(AnyWrite(Frames()));

    sim.With([](sim::RadioModel& m) {
        m.bandLow = 1360;
        m.bandHigh = 1740;
    });
    EXPECT_EQ(RunCli(port + "--check " + in).code, 0);
    sim.With([](sim::RadioModel& m) { m.faults.push_back({sim::FaultKind::NoAnswer, 0, 1, 0}); });
    const CliResult silent = RunCli(port + "--check " + in);
    EXPECT_EQ(silent.code, 1);
    EXPECT_NE(silent.err.find("did not answer"), std::string::npos) << silent.err;
}

}  // namespace
}  // namespace rm427::e2e
