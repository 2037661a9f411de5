// Clone read and write over a pseudo-terminal against the simulator.
#include <algorithm>

#include "SimHarness.h"

namespace rm427::e2e {
namespace {

using sim::Fault;
using sim::FaultKind;

CodeplugImage StartImage() {
    CodeplugImage img;
    for (int i = 0; i < kImageSize; ++i) img[i] = static_cast<std::uint8_t>(0x5A ^ (i * 13));
    return img;
}

std::vector<ChannelFreqText> AllChannels(const std::string& rx, const std::string& tx) {
    return std::vector<ChannelFreqText>(128, ChannelFreqText{rx, tx});
}

int FrameAddress(const sim::SimFrame& f) { return f.bytes[2] << 8 | f.bytes[3]; }

using CloneRead = SimFixture;
using CloneWrite = SimFixture;
using CloneFaults = SimFixture;

TEST_F(CloneRead, SendsTheReadScriptAndStagesExactlyTheTransferredRanges) {
    const CodeplugImage before = StartImage();
    const Outcome o = Run(CloneDir::Read, before, {});
    ASSERT_EQ(o.outcome, CloneOutcome::Succeeded);
    EXPECT_EQ(o.retryQuestions, 0);

    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 132u);
    EXPECT_EQ(Hex(frames[0].bytes), "54 55 4D 4B 45 4C");
    EXPECT_EQ(Hex(frames[1].bytes), "52 0E A0 00");
    EXPECT_EQ(FrameAddress(frames[18]), 0xA0EE);
    EXPECT_EQ(FrameAddress(frames[19]), 0xA200);
    EXPECT_EQ(FrameAddress(frames[128]), 0xAE0E);
    EXPECT_EQ(Hex(frames[129].bytes), "52 10 AE 90");
    EXPECT_EQ(Hex(frames[130].bytes), "52 20 AE B0");
    EXPECT_EQ(Hex(frames[131].bytes), "44 4F 4E 45");
    for (int s = 1; s <= 128; ++s) {
        ASSERT_EQ(frames[s].kind, "read") << s;
        ASSERT_EQ(frames[s].bytes[1], 0x0E) << s;
    }

    const auto memory = sim.With([](sim::RadioModel& m) { return m.memory; });
    int transferred = 0;
    for (int off = 0; off < kImageSize; ++off) {
        if (ReadTransfersOffset(off)) {
            ++transferred;
            ASSERT_EQ(o.readImage[off], memory[off]) << std::hex << off;
        } else {
            ASSERT_EQ(o.readImage[off], before[off]) << std::hex << off;
        }
    }
    EXPECT_EQ(transferred, 128 * 14 + 16 + 32);
    // Progress: reset to 0, then one step per answered request, ending at the maximum.
    EXPECT_EQ(o.progressMax, 130);
    ASSERT_FALSE(o.progress.empty());
    EXPECT_EQ(o.progress.front(), 0);
    EXPECT_EQ(o.progress.back(), 130);
    EXPECT_EQ(o.progress.size(), 131u);
    EXPECT_EQ(ProgressText(0, 130, 130), "Completion percentage:  100%");
}

TEST_F(CloneWrite, SendsTheWriteScriptAndStoresExactlyTheSentRanges) {
    const CodeplugImage image = StartImage();
    // Every channel in band: nothing is blanked by the band check.
    sim.With([](sim::RadioModel& m) {
        m.bandLow = 1000;
        m.bandHigh = 5000;
    });
    const auto before = sim.With([](sim::RadioModel& m) { return m.memory; });
    const Outcome o = Run(CloneDir::Write, image, AllChannels("150.00000", "150.00000"));
    ASSERT_EQ(o.outcome, CloneOutcome::Succeeded);
    EXPECT_EQ(o.sendImage, image);  // channels present: byte 0xE91 kept

    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 118u);
    EXPECT_EQ(frames[0].kind, "access");
    EXPECT_EQ(Hex(frames[116].bytes), "57 03 AE D3 09 0A 1B");
    EXPECT_EQ(FrameAddress(frames[1]), 0xA000);
    EXPECT_EQ(FrameAddress(frames[16]), 0xA0F0);
    EXPECT_EQ(FrameAddress(frames[17]), 0xA200);
    EXPECT_EQ(FrameAddress(frames[114]), 0xAE10);
    EXPECT_EQ(FrameAddress(frames[115]), 0xAE90);
    EXPECT_EQ(Hex(frames[117].bytes), "44 4F 4E 45");
    for (int s = 1; s <= 115; ++s) {
        ASSERT_EQ(frames[s].bytes.size(), 20u) << s;
        ASSERT_EQ(frames[s].bytes[1], 0x10) << s;
    }

    const auto after = sim.With([](sim::RadioModel& m) { return m.memory; });
    for (int off = 0; off < kImageSize; ++off) {
        if (off >= 0xED3 && off <= 0xED5) continue;
        if (WriteTransfersOffset(off)) ASSERT_EQ(after[off], image[off]) << std::hex << off;
        else ASSERT_EQ(after[off], before[off]) << std::hex << off;
    }
    EXPECT_EQ(after[0xED3], 0x09);
    EXPECT_EQ(after[0xED4], 0x0A);
    EXPECT_EQ(after[0xED5], 0x1B);
    EXPECT_EQ(o.progressMax, 116);
    EXPECT_EQ(o.progress.back(), 116);
}

TEST_F(CloneWrite, EmptyChannelListClearsTheWorkingModeByteOfTheSentCopyOnly) {
    CodeplugImage image = StartImage();
    image[0xE91] = 0x02;
    sim.With([](sim::RadioModel& m) {
        m.bandLow = 0;
        m.bandHigh = 65535;
    });
    const Outcome o = Run(CloneDir::Write, image, AllChannels("", ""));
    ASSERT_EQ(o.outcome, CloneOutcome::Succeeded);
    EXPECT_EQ(sim.With([](sim::RadioModel& m) { return m.memory[0xE91]; }), 0x00);
    EXPECT_EQ(image[0xE91], 0x02);
}

TEST_F(CloneWrite, BandCheckWithLimits1360And1740) {
    CodeplugImage image = StartImage();
    auto channels = AllChannels("150.00000", "150.00000");
    channels[0] = {"135.99000", "135.99000"};  // below the band
    channels[1] = {"174.50000", "174.50000"};  // whole MHz 174: passes
    channels[2] = {"150.00000", "180.00000"};  // transmit out of band
    image[2 * 14 + 5] = 0x15;
    const Outcome o = Run(CloneDir::Write, image, channels);
    ASSERT_EQ(o.outcome, CloneOutcome::Succeeded);
    const auto mem = sim.With([](sim::RadioModel& m) { return m.memory; });
    for (int b = 0; b < 14; ++b) EXPECT_EQ(mem[b], 0xFF) << b;
    for (int b = 14; b < 28; ++b) EXPECT_EQ(mem[b], image[b]) << b;
    EXPECT_EQ(mem[28 + 3], 0x00);
    EXPECT_EQ(mem[28 + 4], 0x00);
    EXPECT_EQ(mem[28 + 5], 0x15 | 0xC0);
    for (int b : {0, 1, 2, 6, 7, 8, 9, 10, 11, 12, 13}) EXPECT_EQ(mem[28 + b], image[28 + b]) << b;
    EXPECT_EQ(o.sendImage[0], 0xFF);
    EXPECT_NE(image[0], 0xFF);  // the caller's image is never changed by a write
}

TEST_F(CloneFaults, EchoAndStrayBytesBeforeAnAnswerAreAccepted) {
    sim.With([](sim::RadioModel& m) {
        m.echo = true;
        m.faults.push_back(Fault{FaultKind::Garbage, -1, -1, 0});
    });
    const Outcome r = Run(CloneDir::Read, StartImage(), {});
    ASSERT_EQ(r.outcome, CloneOutcome::Succeeded);
    EXPECT_EQ(r.retryQuestions, 0);
    EXPECT_EQ(r.readImage[0x0E], static_cast<std::uint8_t>(0x0E * 7 + 3));
    EXPECT_EQ(r.readImage[0xEC5], static_cast<std::uint8_t>(0xEC5 * 7 + 3));

    sim.With([](sim::RadioModel& m) {
        m.ClearFrames();
        m.bandLow = 0;
        m.bandHigh = 65535;
    });
    const Outcome w = Run(CloneDir::Write, StartImage(), AllChannels("150.00000", ""));
    ASSERT_EQ(w.outcome, CloneOutcome::Succeeded);
    EXPECT_EQ(Frames().size(), 118u);
}

// An echoing cable and a radio that stays silent: the echo of a write frame
// ending in 0x06 is not the acknowledgement.
TEST_F(CloneFaults, EchoOfAFrameEndingIn06IsNotAnAcknowledgement) {
    sim.With([](sim::RadioModel& m) {
        m.echo = true;
        m.bandLow = 0;
        m.bandHigh = 65535;
        m.faults.push_back(Fault{FaultKind::NoAnswer, 1, 1, 0});
    });
    CodeplugImage image = StartImage();
    image[0x00F] = 0x06;  // last data byte of the first write frame
    const Outcome o = Run(CloneDir::Write, image, AllChannels("150.00000", ""), {false});
    EXPECT_EQ(o.outcome, CloneOutcome::Cancelled);
    EXPECT_EQ(o.retryQuestions, 1);
    EXPECT_EQ(Frames().size(), 3u);  // access word, the unanswered frame, "DONE"
}

TEST_F(CloneFaults, NakOffersRetryAndTheRetryStartsOverWithTheAccessWord) {
    sim.With([](sim::RadioModel& m) { m.faults.push_back(Fault{FaultKind::Nak, 5, 1, 0}); });
    const Outcome o = Run(CloneDir::Read, StartImage(), {}, {true});
    ASSERT_EQ(o.outcome, CloneOutcome::Succeeded);
    EXPECT_EQ(o.retryQuestions, 1);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 6u + 132u);
    EXPECT_EQ(frames[6].kind, "access");
    EXPECT_EQ(Hex(frames[7].bytes), "52 0E A0 00");
    // The progress went back to 0 for the second run.
    EXPECT_NE(std::find(o.progress.begin() + 1, o.progress.end(), 0), o.progress.end());
    EXPECT_EQ(o.readImage[0xE0E], static_cast<std::uint8_t>(0xE0E * 7 + 3));
}

// One byte short: the poll never sees enough bytes. (Silence and late
// answers: clone_test AnswerTimeOutIs800msAndAGrowingAnswerFailsAfter30Polls.)
TEST_F(CloneFaults, ShortAnswerFailsTheStep) {
    sim.With([](sim::RadioModel& m) { m.faults.push_back(Fault{FaultKind::ShortAnswer, 3, 1, 0}); });
    const Outcome o = Run(CloneDir::Read, StartImage(), {}, {false});
    EXPECT_EQ(o.outcome, CloneOutcome::Cancelled);
    EXPECT_EQ(o.retryQuestions, 1);
    EXPECT_TRUE(o.closing);
}

TEST_F(CloneFaults, CancelBeforeStartStillSendsDone) {
    const Outcome o = Run(CloneDir::Read, StartImage(), {}, {}, FastTiming(), "",
                          [](CloneExchange& ex) { ex.Cancel(); });
    EXPECT_EQ(o.outcome, CloneOutcome::Cancelled);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].kind, "done");
}

TEST_F(CloneFaults, CancelMidReadSendsDoneAndStagesNothing) {
    const CodeplugImage before = StartImage();
    QTimer watch;
    const Outcome o = Run(CloneDir::Read, before, {}, {}, FastTiming(), "", [&watch](CloneExchange& ex) {
        ex.Start();
        QObject::connect(&watch, &QTimer::timeout, [&ex, &watch] {
            if (ex.CurrentStep() < 10) return;
            watch.stop();
            ex.Cancel();
        });
        watch.start(2);
    });
    watch.stop();
    watch.disconnect();
    EXPECT_EQ(o.outcome, CloneOutcome::Cancelled);
    EXPECT_TRUE(o.closing);
    const auto frames = Frames();
    ASSERT_GE(frames.size(), 11u);
    EXPECT_LT(frames.size(), 132u);
    EXPECT_EQ(frames.back().kind, "done");
    EXPECT_EQ(frames[frames.size() - 2].kind, "read");
}

TEST_F(CloneFaults, HangUpMidReadEndsWithoutAReadImage) {
    sim.With([](sim::RadioModel& m) { m.faults.push_back(Fault{FaultKind::HangUp, 40, 1, 0}); });
    // Retry is answered, but the port is gone: the reopen reports the port
    // layer's description and the exchange returns to Idle.
    const Outcome o = Run(CloneDir::Read, StartImage(), {}, {true});
    EXPECT_EQ(o.outcome, CloneOutcome::None);
    EXPECT_EQ(o.retryQuestions, 1);
    ASSERT_EQ(o.portErrors.size(), 1u);
    EXPECT_NE(o.portErrors[0].find(sim.SlavePath()), std::string::npos) << o.portErrors[0];
    EXPECT_EQ(o.endState, CloneState::Idle);
    EXPECT_TRUE(sim.HungUp());
}

TEST_F(CloneFaults, MissingPortIsReportedAndNothingIsSent) {
    const Outcome o = Run(CloneDir::Read, StartImage(), {}, {}, FastTiming(), "/dev/nonexistent-rm427");
    EXPECT_EQ(o.outcome, CloneOutcome::None);
    ASSERT_EQ(o.portErrors.size(), 1u);
    EXPECT_NE(o.portErrors[0].find("/dev/nonexistent-rm427"), std::string::npos);
    EXPECT_EQ(o.endState, CloneState::Idle);
    EXPECT_TRUE(Frames().empty());
}

}  // namespace
}  // namespace rm427::e2e
