// The clone machine on virtual time with a scripted port, and the pure
// pieces of the protocol.
#include <gtest/gtest.h>

#include "radio/CloneExchange.h"
#include "radio/ManualClock.h"
#include "radio/PortPaths.h"
#include "text/TextTable.h"

namespace rm427 {
namespace {

class FakePort : public SerialPort {
public:
    bool Open(int port, const std::string& settings) override {
        if (failOpen) {
            error = "COM" + std::to_string(port) + ": busy";
            return false;
        }
        openedWith = settings;
        open = true;
        ++opens;
        return true;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    void SetBufferSizes(int, int) override {}
    void DiscardBuffers() override {
        in.clear();
        driver.clear();
    }
    void DiscardInput() override {
        in.clear();
        driver.clear();
    }
    bool Write(const Bytes& d) override {
        if (!open) return false;
        frames.push_back(d);
        driver.insert(driver.end(), atOnce.begin(), atOnce.end());  // there before Write returns
        atOnce.clear();
        return true;
    }
    int BytesWaiting() override { return static_cast<int>(in.size()); }
    Bytes Read(int n) override {
        Bytes out(in.begin(), in.begin() + std::min<std::size_t>(n, in.size()));
        in.erase(in.begin(), in.begin() + out.size());
        return out;
    }
    void SetReceiveThreshold(int n) override { threshold = n; }
    void SetEventHandler(std::function<void(CommEvent)> h) override { handler = std::move(h); }
    CommEvent LastEvent() const override { return CommEvent::Receive; }
    std::string ErrorDescription() const override { return error; }

    void Deliver(const Bytes& b) {
        in.insert(in.end(), b.begin(), b.end());
        if (threshold > 0 && handler) handler(CommEvent::Receive);
    }

    bool open = false, failOpen = false;
    int opens = 0, threshold = 0;
    std::string openedWith, error;
    Bytes in, atOnce, driver;  // driver: received, not yet handed to the program
    std::vector<Bytes> frames;
    std::function<void(CommEvent)> handler;
};

Bytes Ident(int low, int high) {
    Bytes b(14, 0x00);
    for (int v : {low, high}) {
        b.push_back(static_cast<std::uint8_t>(v >> 8));
        b.push_back(static_cast<std::uint8_t>(v));
    }
    return b;
}

struct Machine {
    explicit Machine(CloneDir dir, std::vector<ChannelFreqText> ch = {}) {
        CloneExchange::Callbacks cb;
        cb.askRetry = [this] {
            asked.push_back(clock.NowMs());
            return retry;
        };
        cb.portError = [this](const std::string& d) { portErrors.push_back(d); };
        cb.finished = [this](CloneOutcome o) { outcome = o; };
        ex = std::make_unique<CloneExchange>(dir, port, clock, 3, image, ch, cb);
    }
    ManualClock clock;
    FakePort port;
    CodeplugImage image{};
    bool retry = false;
    std::vector<long long> asked;
    std::vector<std::string> portErrors;
    CloneOutcome outcome = CloneOutcome::None;
    std::unique_ptr<CloneExchange> ex;
};

TEST(CloneMachine, OpensThePortAt2400N82AndAnswersNeedTwoEqualPolls) {
    Machine m(CloneDir::Read);
    ASSERT_TRUE(m.ex->Start());
    EXPECT_EQ(m.port.openedWith, "2400,N,8,2");
    m.clock.Advance(1);
    ASSERT_EQ(m.port.frames.size(), 1u);
    m.port.Deliver(Ident(1360, 1740));
    m.clock.Advance(20);  // first poll: 18 waiting, compared against 0
    EXPECT_EQ(m.ex->CurrentStep(), 0);
    m.clock.Advance(20);  // second poll: unchanged -> accepted
    EXPECT_EQ(m.ex->CurrentStep(), 1);
    EXPECT_EQ(m.ex->LowerLimit(), 1360);
    EXPECT_EQ(m.ex->UpperLimit(), 1740);
    m.clock.Advance(1);
    ASSERT_EQ(m.port.frames.size(), 2u);
    EXPECT_EQ(m.port.frames[1], (Bytes{0x52, 0x0E, 0xA0, 0x00}));
}

// A radio (or a simulator behind a COM port) whose answer is already in the
// driver's buffer when the write returns: it belongs to this frame.
TEST(CloneMachine, AnAnswerThatArrivesDuringTheWriteCounts) {
    Machine m(CloneDir::Read);
    m.port.atOnce = Ident(1360, 1740);
    ASSERT_TRUE(m.ex->Start());
    m.clock.Advance(1);
    m.port.Deliver(m.port.driver);
    m.clock.Advance(40);
    EXPECT_EQ(m.ex->CurrentStep(), 1);
    EXPECT_EQ(m.ex->UpperLimit(), 1740);
}

TEST(CloneMachine, AnswerTimeOutIs800msAndAGrowingAnswerFailsAfter30Polls) {
    Machine m(CloneDir::Read);
    m.ex->Start();
    m.clock.Advance(1);
    m.clock.Advance(799);
    EXPECT_TRUE(m.asked.empty());
    m.clock.Advance(2);
    ASSERT_EQ(m.asked.size(), 1u);  // Cancel answered: the closing sequence runs
    EXPECT_EQ(m.port.frames.back(), (Bytes{'D', 'O', 'N', 'E'}));
    m.clock.Advance(298);
    EXPECT_EQ(m.outcome, CloneOutcome::None);
    m.clock.Advance(1);
    EXPECT_EQ(m.outcome, CloneOutcome::Cancelled);
    EXPECT_FALSE(m.port.open);

    Machine g(CloneDir::Read);
    g.ex->Start();
    g.clock.Advance(1);
    const long long sent = g.clock.NowMs();
    for (int i = 0; i < 40 && g.asked.empty(); ++i) {
        g.port.Deliver({0x00});  // one more byte at every poll: never settles
        g.clock.Advance(20);
    }
    ASSERT_EQ(g.asked.size(), 1u);
    EXPECT_GE(g.asked[0] - sent, 600);
    EXPECT_LE(g.asked[0] - sent, 602);
}

TEST(CloneMachine, NakFailsTheStepAndLateBytesAfterTheFailureAreIgnored) {
    Machine m(CloneDir::Read);
    m.retry = true;
    m.ex->Start();
    m.clock.Advance(1);
    m.port.Deliver(Ident(0, 0));
    m.clock.Advance(41);
    Bytes nak(15, 0x11);
    nak[0] = 0x15;
    m.port.Deliver(nak);
    m.clock.Advance(40);
    EXPECT_EQ(m.ex->State(), CloneState::Failed);
    m.port.Deliver(Bytes(15, 0x06));  // arrives while the failure is pending
    m.clock.Advance(1);
    ASSERT_EQ(m.asked.size(), 1u);
    EXPECT_EQ(m.ex->CurrentStep(), 0);
    m.clock.Advance(31);  // the 30 ms pause, reopen, then the access word again
    EXPECT_EQ(m.port.opens, 2);
    EXPECT_EQ(m.port.frames.back(), (Bytes{'T', 'U', 'M', 'K', 'E', 'L'}));
}

TEST(CloneMachine, ReadTakesOnlyTheLastBytesAndFinishesWith100msAfterDone) {
    Machine m(CloneDir::Read);
    m.image.fill(0x77);
    m.ex = nullptr;
    Machine& r = m;
    CloneExchange::Callbacks cb;
    cb.finished = [&r](CloneOutcome o) { r.outcome = o; };
    r.ex = std::make_unique<CloneExchange>(CloneDir::Read, r.port, r.clock, 1, r.image,
                                           std::vector<ChannelFreqText>{}, cb);
    r.ex->Start();
    for (int step = 0; step <= 130; ++step) {
        r.clock.Advance(1);
        const Bytes frame = r.port.frames.back();
        Bytes answer = frame;  // echo first
        if (step == 0) {
            const Bytes id = Ident(1360, 1740);
            answer.insert(answer.end(), id.begin(), id.end());
        } else {
            answer.push_back(0x06);
            for (int i = 0; i < frame[1]; ++i) answer.push_back(static_cast<std::uint8_t>(step));
        }
        r.port.Deliver(answer);
        r.clock.Advance(40);
        ASSERT_EQ(r.ex->CurrentStep(), step + 1);
    }
    r.clock.Advance(1);
    EXPECT_EQ(r.port.frames.back(), (Bytes{'D', 'O', 'N', 'E'}));
    EXPECT_EQ(r.outcome, CloneOutcome::None);
    r.clock.Advance(100);
    EXPECT_EQ(r.outcome, CloneOutcome::Succeeded);
    // Where each answer lands: clone_e2e_test (every transferred offset).
    const auto& img = r.ex->ReadImage();
    EXPECT_EQ(img[0xE0E], 128);   // the last bytes of the answer, not the echo
    EXPECT_EQ(img[0x0FC], 0x77);  // never transferred

    Module1 state;
    state.FreqLimitLow = 136;
    ApplyReadImage(state, img);
    EXPECT_EQ(state.Image, img);
    EXPECT_FALSE(state.ImageModified());
    EXPECT_EQ(state.FreqLimitLow, 100);
    EXPECT_EQ(state.EditLimitHigh, 550);
}

TEST(CloneMachine, PortThatCannotOpenStaysIdleAndReportsItsDescription) {
    Machine m(CloneDir::Write);
    m.port.failOpen = true;
    EXPECT_FALSE(m.ex->Start());
    ASSERT_EQ(m.portErrors.size(), 1u);
    EXPECT_EQ(m.portErrors[0], "COM3: busy");
    EXPECT_EQ(m.ex->State(), CloneState::Idle);
    m.port.failOpen = false;
    EXPECT_TRUE(m.ex->Start());  // Start may be pressed again
}

TEST(CloneScript, WriteFramesCarryTheSendImage) {
    CodeplugImage img{};
    for (int i = 0; i < kImageSize; ++i) img[i] = static_cast<std::uint8_t>(i);
    const Bytes f115 = CloneFrame(CloneDir::Write, 115, img);
    ASSERT_EQ(f115.size(), 20u);
    EXPECT_EQ(Bytes(f115.begin(), f115.begin() + 4), (Bytes{0x57, 0x10, 0xAE, 0x90}));
    EXPECT_EQ(f115[4], 0x90);
    EXPECT_EQ(f115[19], 0x9F);
    const Bytes f17 = CloneFrame(CloneDir::Write, 17, img);
    EXPECT_EQ(f17[4], 0x00);  // image offset 0x200
    EXPECT_EQ(CloneFrame(CloneDir::Write, 117, img), (Bytes{'D', 'O', 'N', 'E'}));
    EXPECT_EQ(CloneAnswerLength(CloneDir::Read, 130), 33);
    EXPECT_EQ(CloneAnswerLength(CloneDir::Write, 117), 0);
}

TEST(CloneBandCheck, WholeMHzComparisonAndEmptyTexts) {
    EXPECT_EQ(WholeMHz("174.93750"), 174);
    EXPECT_EQ(WholeMHz(""), 0);
    EXPECT_EQ(WholeMHz("abc"), 0);
    EXPECT_EQ(WholeMHz("-5"), 0);

    CodeplugImage img{};
    img.fill(0x33);
    std::vector<ChannelFreqText> ch(128, {"", ""});
    ch[0] = {"174.90000", "174.90000"};   // passes a 174.0 MHz limit
    ch[1] = {"", ""};                     // empty: 0 MHz, blanked
    ch[17] = {"136.00000", ""};           // transmit empty: offset removed
    ch[18] = {"400.00000", "400.00000"};  // first record of block 1
    BandCheck(img, 1360, 1740, ch);
    for (int b = 0; b < 14; ++b) EXPECT_EQ(img[b], 0x33);
    for (int b = 14; b < 28; ++b) EXPECT_EQ(img[b], 0xFF);
    EXPECT_EQ(img[17 * 14 + 3], 0x00);
    EXPECT_EQ(img[17 * 14 + 5], 0x33 | 0xC0);
    EXPECT_EQ(img[0x200], 0xFF);
    EXPECT_EQ(img[0xFC], 0x33);  // outside the records
}

TEST(CloneProgress, LabelRoundsToWholePercentInBothLanguages) {
    EXPECT_EQ(ProgressText(0, 0, 130), "Completion percentage:  0%");
    EXPECT_EQ(ProgressText(0, 1, 130), "Completion percentage:  1%");
    EXPECT_EQ(ProgressText(0, 65, 130), "Completion percentage:  50%");
    EXPECT_EQ(ProgressText(0, 116, 116), "Completion percentage:  100%");
    EXPECT_EQ(ProgressText(1, 58, 116), LoadText(1, 1330) + ":  50%");
}

TEST(PortPaths, DefaultTableOverridesAndLineSettings) {
#ifndef _WIN32
    EXPECT_EQ(DefaultPortPath(1), "/dev/ttyUSB0");
    EXPECT_EQ(DefaultPortPath(8), "/dev/ttyUSB7");
    EXPECT_EQ(DefaultPortPath(9), "/dev/ttyACM0");
    EXPECT_EQ(DefaultPortPath(12), "/dev/ttyACM3");
    EXPECT_EQ(DefaultPortPath(13), "/dev/ttyS0");
    EXPECT_EQ(DefaultPortPath(20), "/dev/ttyS7");
#else
    for (int n = kFirstPort; n <= kLastPort; ++n) EXPECT_EQ(DefaultPortPath(n), WindowsPortName(n));
#endif
    // On Windows the numbers are the system's own port names (COM10 and up
    // too: the serial port layer adds the device prefix those need).
    EXPECT_EQ(WindowsPortName(1), "COM1");
    EXPECT_EQ(WindowsPortName(9), "COM9");
    EXPECT_EQ(WindowsPortName(10), "COM10");
    EXPECT_EQ(WindowsPortName(20), "COM20");
    EXPECT_EQ(WindowsPortName(0), "");
    EXPECT_EQ(WindowsPortName(21), "");
    EXPECT_EQ(DefaultPortPath(0), "");
    EXPECT_EQ(DefaultPortPath(21), "");
    const PortPathLookup lookup = [](int n) {
        return n == 3 ? std::string(" /dev/pts/7 ") : std::string();
    };
    EXPECT_EQ(ResolvePortPath(3, lookup), "/dev/pts/7");
    EXPECT_EQ(ResolvePortPath(4, lookup), DefaultPortPath(4));
    EXPECT_EQ(ResolvePortPath(21, lookup), "");

    LineSettings s;
    ASSERT_TRUE(ParseLineSettings("2400,N,8,2", s));
    EXPECT_EQ(s.baud, 2400);
    EXPECT_EQ(s.parity, 'N');
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, 2);
    ASSERT_TRUE(ParseLineSettings("9600,e,7,1.5", s));
    EXPECT_EQ(s.parity, 'E');
    EXPECT_EQ(s.stopBits, 3);
    for (const char* bad : {"", "2400", "2400,N,8", "2400,X,8,2", "2400,N,9,2", "x,N,8,2", "2400,N,8,3"})
        EXPECT_FALSE(ParseLineSettings(bad, s)) << bad;
}

}  // namespace
}  // namespace rm427

namespace rm427 {
namespace {

TEST(CloneBandCheck, TextsComeFromTheChannelsAsTheEditorShowsThem) {
    Module1 state;
    ChannelRows rows = MakeChannelRows(state);
    LoadChannelRows(state, rows);
    rows[1][colRxFreq] = "145.00000";
    rows[1][colTxFreq] = "145.00000";
    rows[2][colRxFreq] = "435.00000";
    rows[2][colTxFreq] = "435.00000";
    SaveChannelRows(state, rows);
    const auto texts = ChannelFreqTexts(state.Image);
    ASSERT_EQ(texts.size(), 128u);
    EXPECT_EQ(WholeMHz(texts[0].rx), 145);
    EXPECT_EQ(WholeMHz(texts[1].tx), 435);
    EXPECT_EQ(texts[2].rx, "");
    CodeplugImage send = MakeSendImage(state.Image, texts);
    EXPECT_EQ(send[0xE91], state.Image[0xE91]);  // channels present
    BandCheck(send, 1360, 1740, texts);
    EXPECT_NE(send[0], 0xFF);
    EXPECT_EQ(send[14], 0xFF);
}

}  // namespace
}  // namespace rm427
