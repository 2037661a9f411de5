// Test and tuning mode: parameter table, wire encoding, frames, and the
// exchange machine on virtual time against a scripted port.
#include <gtest/gtest.h>

#include <deque>

#include "radio/ManualClock.h"
#include "radio/TestMode.h"

using namespace rm427;

TEST(TestModeTable, ParametersAndAddresses) {
    struct Row { int item, variant, P, address, width, maximum; };
    const Row rows[] = {
        {1, 3, 0, 0xAEE2, 1, 255}, {2, 0, 1, 0xAEE3, 1, 255}, {3, 2, 2, 0xAEE4, 1, 255},
        {4, 0, 3, 0xAEE6, 2, 511}, {4, 1, 4, 0xAEE8, 2, 511}, {4, 2, 5, 0xAEEA, 2, 511},
        {4, 3, 6, 0xAEEC, 2, 511}, {5, 0, 7, 0xAEEE, 1, 255}, {5, 3, 10, 0xAEF1, 1, 255},
        {6, 0, 11, 0xAEF2, 1, 255}, {6, 3, 14, 0xAEF5, 1, 255},
        {0, 2, 0, 0xAEE2, 1, 255},  // no such item: the first one
    };
    for (const Row& r : rows) {
        const TuningParam p = TuningParameter(r.item, r.variant);
        EXPECT_EQ(p.index, r.P) << r.item << "/" << r.variant;
        EXPECT_EQ(p.address, r.address) << r.item << "/" << r.variant;
        EXPECT_EQ(p.width, r.width);
        EXPECT_EQ(p.maximum, r.maximum);
    }
    EXPECT_EQ(TuningVariant(false, false), 0);
    EXPECT_EQ(TuningVariant(false, true), 1);
    EXPECT_EQ(TuningVariant(true, false), 2);
    EXPECT_EQ(TuningVariant(true, true), 3);
}

TEST(TestModeTable, DeviationEncoding) {
    std::uint8_t a = 0, b = 0;
    EncodeDeviation(256, a, b);
    EXPECT_EQ(a, 0x1F);
    EXPECT_EQ(b, 0xE0);
    EXPECT_EQ(DecodeDeviation(0x1F, 0xE0), 256);
    EncodeDeviation(511, a, b);
    EXPECT_EQ(a, 0x00);
    EXPECT_EQ(b, 0x00);
    EncodeDeviation(0, a, b);
    EXPECT_EQ(a, 0x3F);
    EXPECT_EQ(b, 0xE0);
    for (int v = 0; v <= 511; ++v) {
        EncodeDeviation(v, a, b);
        ASSERT_EQ(DecodeDeviation(a, b), v);
    }
    // Nonsense from the radio stays in range.
    EXPECT_EQ(DecodeDeviation(0xFF, 0xFF), 0);
}

TEST(TestModeTable, Frames) {
    const TuningParam a1 = TuningParameter(1, 0);
    const TuningParam a4 = TuningParameter(4, 3);
    const TuningParam qt = TuningParameter(5, 0);
    EXPECT_EQ(TestModeFrame(TestModeState::Connecting, 0, a1, 0), Bytes({'T', 'U', 'M', 'K', 'E', 'L'}));
    EXPECT_EQ(TestModeFrame(TestModeState::Querying, 0, a1, 0), Bytes({0x54, 0x00, 0x02, 0x00}));
    EXPECT_EQ(TestModeFrame(TestModeState::Querying, 0, a4, 0), Bytes({0x54, 0x06, 0x02, 0x00}));
    EXPECT_EQ(TestModeFrame(TestModeState::AdjustOne, 0, a4, 256), Bytes({0x41, 0x06, 0x1F, 0xE0}));
    EXPECT_EQ(TestModeFrame(TestModeState::AdjustOne, 0, a1, 200), Bytes({0x41, 0x00, 200, 0x00}));
    EXPECT_EQ(TestModeFrame(TestModeState::Storing, 0, a1, 1), Bytes({'d', 'o', 'n', 'e'}));
    EXPECT_EQ(TestModeFrame(TestModeState::Storing, 1, a4, 256),
              Bytes({0x57, 0x02, 0xAE, 0xEC, 0x1F, 0xE0}));
    EXPECT_EQ(TestModeFrame(TestModeState::Storing, 1, qt, 100),
              Bytes({0x57, 0x01, 0xAE, 0xEE, 0x64, 0x00}));
    EXPECT_EQ(TestModeFrame(TestModeState::Leaving, 2, qt, 100), Bytes({'D', 'O', 'N', 'E'}));
    EXPECT_TRUE(TestModeFrame(TestModeState::Leaving, 1, qt, 100).empty());
    // A value beyond the parameter's range is never put on the wire.
    EXPECT_EQ(TestModeFrame(TestModeState::AdjustOne, 0, a1, 999), Bytes({0x41, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(TestModeAnswerLength(TestModeState::Connecting, 0), 18);
    EXPECT_EQ(TestModeAnswerLength(TestModeState::Querying, 0), 3);
    EXPECT_EQ(TestModeAnswerLength(TestModeState::Storing, 1), 1);
    EXPECT_EQ(TestModeAnswerLength(TestModeState::Storing, 2), 0);
}

namespace {

// A port that logs what is written and answers each frame from a script.
class ScriptedPort : public SerialPort {
public:
    std::vector<Bytes> written;
    std::deque<Bytes> answers;  // one per awaited frame; empty = silence
    std::vector<int> opens;
    bool failOpen = false;
    Bytes inbox;

    bool Open(int port, const std::string&) override {
        opens.push_back(port);
        if (failOpen) return false;
        open = true;
        return true;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    void SetBufferSizes(int, int) override {}
    void DiscardBuffers() override { inbox.clear(); }
    bool Write(const Bytes& data) override {
        if (!open) return false;
        written.push_back(data);
        if (threshold >= 0 && data != Bytes({'D', 'O', 'N', 'E'}) && !answers.empty()) {
            Bytes a = answers.front();
            answers.pop_front();
            pending = a;
        }
        return true;
    }
    int BytesWaiting() override { return static_cast<int>(inbox.size()); }
    Bytes Read(int n) override {
        n = std::min<int>(n, static_cast<int>(inbox.size()));
        Bytes out(inbox.begin(), inbox.begin() + n);
        inbox.erase(inbox.begin(), inbox.begin() + n);
        return out;
    }
    void SetReceiveThreshold(int n) override { threshold = n; }
    void SetEventHandler(std::function<void(CommEvent)> h) override { handler = std::move(h); }
    CommEvent LastEvent() const override { return CommEvent::Receive; }
    std::string ErrorDescription() const override { return "port 3 is busy"; }

    // Delivers the answer to the last frame, as the line would: all at once,
    // or one byte per call.
    void Deliver() {
        if (pending.empty()) return;
        const std::size_t n = trickle ? 1 : pending.size();
        inbox.insert(inbox.end(), pending.begin(), pending.begin() + n);
        pending.erase(pending.begin(), pending.begin() + n);
        if (threshold > 0 && handler) handler(CommEvent::Receive);
    }

    bool open = false;
    bool trickle = false;
    int threshold = 0;
    Bytes pending;
    std::function<void(CommEvent)> handler;
};

struct Rig {
    ScriptedPort port;
    ManualClock clock;
    int text = 0;
    std::vector<int> reads;
    std::vector<TestModeState> ends;
    std::vector<std::string> errors;
    std::unique_ptr<TestModeExchange> x;

    Rig() {
        TestModeExchange::Callbacks cb;
        cb.valueText = [this] { return text; };
        cb.valueRead = [this](int v) { reads.push_back(v); };
        cb.portError = [this](const std::string& e) { errors.push_back(e); };
        cb.ended = [this](TestModeState s) { ends.push_back(s); };
        x = std::make_unique<TestModeExchange>(port, clock, cb);
    }
    // Runs time on, delivering answers every `step` ms.
    void Run(long long ms, int step = 2) {
        for (long long t = 0; t < ms; t += step) {
            clock.Advance(step);
            port.Deliver();
        }
    }
};

const Bytes kId(18, 0x20);

}  // namespace

TEST(TestModeExchange, RunAdjustStore) {
    Rig r;
    r.x->SetComPort(3);
    r.x->SetParameter(TuningParameter(4, 3));
    r.port.answers = {kId, {0x06, 0x1F, 0xE0}};
    r.x->Run();
    r.Run(200);
    ASSERT_EQ(r.port.written.size(), 2u);
    EXPECT_EQ(r.port.written[0], Bytes({'T', 'U', 'M', 'K', 'E', 'L'}));
    EXPECT_EQ(r.port.written[1], Bytes({0x54, 0x06, 0x02, 0x00}));
    EXPECT_EQ(r.reads, std::vector<int>({256}));
    EXPECT_EQ(r.x->State(), TestModeState::Adjusting);
    EXPECT_FALSE(r.port.IsOpen());  // open only for one exchange
    EXPECT_EQ(r.port.opens, std::vector<int>({3}));

    r.text = 300;
    r.port.answers = {{0x06}};
    r.x->Adjust();
    EXPECT_EQ(r.x->State(), TestModeState::AdjustOne);
    r.Run(100);
    EXPECT_EQ(r.port.written.back(), TestModeFrame(TestModeState::AdjustOne, 0, TuningParameter(4, 3), 300));
    EXPECT_EQ(r.x->State(), TestModeState::Adjusting);
    EXPECT_EQ(r.x->RadioValue(), 300);

    r.port.answers = {{0x06}, {0x06}};
    r.x->Ok();
    r.Run(300);
    ASSERT_EQ(r.port.written.size(), 6u);
    EXPECT_EQ(r.port.written[3], Bytes({'d', 'o', 'n', 'e'}));
    EXPECT_EQ(r.port.written[4], TestModeFrame(TestModeState::Storing, 1, TuningParameter(4, 3), 300));
    EXPECT_EQ(r.port.written[5], Bytes({'D', 'O', 'N', 'E'}));
    EXPECT_EQ(r.x->State(), TestModeState::Idle);
    EXPECT_FALSE(r.port.IsOpen());
}

TEST(TestModeExchange, AnswerAfterEchoAndCancel) {
    Rig r;
    Bytes echoed = {0x54, 0x00, 0x02, 0x00, 0x06, 0x80, 0x00};
    r.port.answers = {kId, echoed};
    r.x->Run();
    r.Run(200);
    EXPECT_EQ(r.reads, std::vector<int>({128}));  // the last three bytes count

    r.port.answers = {{0x06}};
    r.x->Cancel();
    r.Run(300);
    ASSERT_EQ(r.port.written.size(), 4u);
    EXPECT_EQ(r.port.written[2], Bytes({'d', 'o', 'n', 'e'}));
    EXPECT_EQ(r.port.written[3], Bytes({'D', 'O', 'N', 'E'}));
    EXPECT_EQ(r.x->State(), TestModeState::Idle);
}

TEST(TestModeExchange, FailuresReturnToIdle) {
    {  // silence: 500 ms, then idle without a message
        Rig r;
        r.x->Run();
        r.clock.Advance(499);
        EXPECT_EQ(r.x->State(), TestModeState::Connecting);
        r.clock.Advance(5);
        EXPECT_EQ(r.x->State(), TestModeState::Idle);
        EXPECT_TRUE(r.errors.empty());
        EXPECT_EQ(r.ends, std::vector<TestModeState>({TestModeState::Idle}));
        EXPECT_FALSE(r.port.IsOpen());
    }
    {  // 2400 baud: the identification trickles in over 83 ms, and is taken
        Rig r;
        r.port.trickle = true;
        r.port.answers = {kId, {0x06, 0x2A, 0x00}};
        r.x->Run();
        r.Run(400, 5);
        EXPECT_EQ(r.reads, std::vector<int>({42}));
        EXPECT_EQ(r.x->State(), TestModeState::Adjusting);
    }
    {  // a short answer: after 10 polls
        Rig r;
        r.port.answers = {kId, {0x06, 0x80}};
        r.x->Run();
        r.Run(300);
        EXPECT_EQ(r.x->State(), TestModeState::Idle);
        EXPECT_TRUE(r.reads.empty());
    }
    {  // the port will not open
        Rig r;
        r.port.failOpen = true;
        r.x->Run();
        EXPECT_EQ(r.x->State(), TestModeState::Idle);
        EXPECT_EQ(r.errors, std::vector<std::string>({"port 3 is busy"}));
        EXPECT_FALSE(r.clock.AnyActive());
    }
}

TEST(TestModeExchange, ButtonsOutOfTurnDoNothingHarmful) {
    Rig r;
    r.port.answers = {kId, {0x06, 0x10, 0x00}};
    r.x->Adjust();  // not connected: nothing
    r.x->Ok();
    EXPECT_TRUE(r.port.opens.empty());
    r.x->Run();
    r.x->Run();  // a second press while connecting must not store anything
    EXPECT_EQ(r.x->State(), TestModeState::Connecting);
    r.Run(200);
    EXPECT_EQ(r.x->State(), TestModeState::Adjusting);
    for (const Bytes& f : r.port.written) EXPECT_NE(f[0], 0x57);
}
