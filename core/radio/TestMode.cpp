#include "radio/TestMode.h"

#include <algorithm>

#include "image/RecordLayout.h"

namespace rm427 {

namespace {
constexpr int kInBuffer = 1024;
constexpr int kOutBuffer = 512;

Bytes Word(const char* text) { return Bytes(text, text + std::char_traits<char>::length(text)); }
}  // namespace

int TuningVariant(bool high, bool narrow) { return (high ? 2 : 0) + (narrow ? 1 : 0); }

TuningParam TuningParameter(int item, int variant) {
    if (item < 1 || item > kTuningItems) item = 1;
    variant = std::clamp(variant, 0, 3);
    TuningParam p;
    p.item = item;
    switch (item) {
    case 1:
        p.index = 0;
        p.address = 0xAEE2;
        break;
    case 2:
        p.index = 1;
        p.address = 0xAEE3;
        break;
    case 3:
        p.index = 2;
        p.address = 0xAEE4;
        break;
    case 4:
        p.index = 3 + variant;
        p.address = 0xAEE6 + 2 * variant;
        p.width = 2;
        p.maximum = 511;
        break;
    case 5:
        p.index = 7 + variant;
        p.address = 0xAEEE + variant;
        break;
    default:
        p.index = 11 + variant;
        p.address = 0xAEF2 + variant;
        break;
    }
    return p;
}

void EncodeDeviation(int value, std::uint8_t& first, std::uint8_t& second) {
    const int v = 511 - std::clamp(value, 0, 511);
    first = static_cast<std::uint8_t>(v / 8);
    second = static_cast<std::uint8_t>((v % 8) * 32);
}

int DecodeDeviation(std::uint8_t first, std::uint8_t second) {
    return std::clamp(511 - (first * 8 + second / 32), 0, 511);
}

Bytes TestModeFrame(TestModeState mode, int stage, const TuningParam& param, int value) {
    value = std::clamp(value, 0, param.maximum);
    std::uint8_t b1 = static_cast<std::uint8_t>(value);
    std::uint8_t b2 = 0x00;
    if (param.width == 2) EncodeDeviation(value, b1, b2);
    const auto P = static_cast<std::uint8_t>(param.index);
    switch (mode) {
    case TestModeState::Connecting: return Word("TUMKEL");
    case TestModeState::Querying: return {0x54, P, 0x02, 0x00};
    case TestModeState::AdjustOne: return {0x41, P, b1, b2};
    case TestModeState::Storing:
    case TestModeState::Leaving:
        if (stage == 0) return Word("done");
        if (stage == 2) return Word("DONE");
        if (stage == 1 && mode == TestModeState::Storing)
            return {0x57,
                    static_cast<std::uint8_t>(param.width),
                    static_cast<std::uint8_t>(param.address >> 8),
                    static_cast<std::uint8_t>(param.address & 0xFF),
                    b1,
                    b2};
        return {};
    default: return {};
    }
}

int TestModeAnswerLength(TestModeState mode, int stage) {
    switch (mode) {
    case TestModeState::Connecting: return 18;
    case TestModeState::Querying: return 3;
    case TestModeState::AdjustOne: return 1;
    case TestModeState::Storing:
    case TestModeState::Leaving: return stage == 2 ? 0 : 1;
    default: return 0;
    }
}

TestModeExchange::TestModeExchange(SerialPort& port, TimerFactory& timers, Callbacks callbacks,
                                   TestModeTiming timing)
    : port_(port), cb_(std::move(callbacks)), timing_(timing) {
    send_ = timers.CreateTimer([this] { OnSendTick(); });
    overtime_ = timers.CreateTimer([this] { OnOvertimeTick(); });
    wait_ = timers.CreateTimer([this] { OnWaitTick(); });
    poll_ = timers.CreateTimer([this] { OnPollTick(); });
    port_.SetEventHandler([this](CommEvent e) { OnEvent(e); });
}

TestModeExchange::~TestModeExchange() {
    port_.SetEventHandler({});
    StopTimers();
    if (port_.IsOpen()) port_.Close();
}

void TestModeExchange::Run() {
    switch (mode_) {
    case TestModeState::Idle:
        mode_ = TestModeState::Connecting;
        stage_ = 0;
        StartExchange();
        break;
    case TestModeState::Adjusting:
    case TestModeState::AdjustOne: Ok(); break;
    default:
        // Still connecting, or already leaving: a second press must not
        // store a value that was never read from the radio.
        break;
    }
}

void TestModeExchange::Ok() {
    if (mode_ != TestModeState::Adjusting && mode_ != TestModeState::AdjustOne) return;
    mode_ = TestModeState::Storing;
    stage_ = 0;
    StartExchange();
}

void TestModeExchange::Cancel() {
    if (mode_ == TestModeState::Idle || mode_ == TestModeState::Storing ||
        mode_ == TestModeState::Leaving)
        return;
    mode_ = TestModeState::Leaving;
    stage_ = 0;
    StartExchange();
}

void TestModeExchange::Adjust() {
    if (mode_ != TestModeState::Adjusting) return;
    mode_ = TestModeState::AdjustOne;
    stage_ = 0;
    StartExchange();
}

void TestModeExchange::Shutdown() {
    StopTimers();
    if (port_.IsOpen()) port_.Close();
    mode_ = TestModeState::Idle;
    stage_ = 0;
}

void TestModeExchange::StopTimers() {
    send_->Stop();
    overtime_->Stop();
    wait_->Stop();
    poll_->Stop();
    handling_ = false;
}

void TestModeExchange::StartExchange() {
    StopTimers();
    if (port_.IsOpen()) port_.Close();
    port_.SetBufferSizes(kInBuffer, kOutBuffer);
    if (!port_.Open(comPort_, kRadioLineSettings)) {
        const std::string why = port_.ErrorDescription();
        mode_ = TestModeState::Idle;
        stage_ = 0;
        if (cb_.portError) cb_.portError(why);
        if (cb_.ended) cb_.ended(mode_);
        return;
    }
    port_.DiscardBuffers();
    completed_ = false;
    stopped_ = false;
    send_->Start(timing_.sendDelay);
}

void TestModeExchange::OnSendTick() {
    send_->Stop();
    const int value = std::clamp(cb_.valueText ? cb_.valueText() : 0, 0, param_.maximum);
    if (mode_ == TestModeState::AdjustOne || mode_ == TestModeState::Storing) sentValue_ = value;
    port_.Write(TestModeFrame(mode_, stage_, param_, value));
    expected_ = TestModeAnswerLength(mode_, stage_);
    const bool closing =
        (mode_ == TestModeState::Storing || mode_ == TestModeState::Leaving) && stage_ == 2;
    if (closing) {
        completed_ = true;
        port_.SetReceiveThreshold(0);
        overtime_->Start(timing_.finishWait);
    } else {
        port_.SetReceiveThreshold(1);
        overtime_->Start(timing_.answerTimeout);
    }
}

void TestModeExchange::OnEvent(CommEvent e) {
    if (stopped_ || handling_) return;
    handling_ = true;
    event_ = e;
    wait_->Start(timing_.eventWait);
}

void TestModeExchange::OnWaitTick() {
    if (stopped_) {
        handling_ = false;
        return;
    }
    if (event_ != CommEvent::Receive) {
        handling_ = false;
        send_->Start(timing_.sendDelay);  // the frame goes again
        return;
    }
    if (expected_ == 0) {
        handling_ = false;
        return;
    }
    overtime_->Stop();
    polls_ = 0;
    growingPolls_ = 0;
    lastWaiting_ = 0;
    quietPolls_ = 0;
    OnPollTick();
}

void TestModeExchange::OnPollTick() {
    // At 2400 baud a byte takes 4.6 ms: the 18-byte identification needs
    // 83 ms, more than ten 5 ms polls, and a cable that echoes puts the frame
    // before the answer. So the answer is taken once it is long enough and
    // has stopped growing for two polls; a poll that finds it still growing
    // does not count against the ten, so only a line gone quiet fails.
    const int waiting = port_.BytesWaiting();
    const bool growing = waiting > lastWaiting_;
    lastWaiting_ = waiting;
    quietPolls_ = growing ? 0 : quietPolls_ + 1;
    if (waiting >= expected_ && quietPolls_ >= 2) {
        Bytes all = port_.Read(waiting);
        handling_ = false;
        if (static_cast<int>(all.size()) < expected_) {  // the line lost them meanwhile
            FinishSoon();
            return;
        }
        Handle(Bytes(all.end() - expected_, all.end()));
        return;
    }
    const bool counted = !growing || ++growingPolls_ > timing_.maxGrowingPolls;
    if (counted && ++polls_ >= timing_.maxPolls) {
        handling_ = false;
        FinishSoon();
        return;
    }
    poll_->Start(timing_.pollInterval);
}

void TestModeExchange::Handle(const Bytes& answer) {
    switch (mode_) {
    case TestModeState::Connecting:
        mode_ = TestModeState::Querying;
        send_->Start(timing_.sendDelay);
        return;
    case TestModeState::Querying: {
        const int value = param_.width == 2 ? DecodeDeviation(answer[1], answer[2]) : answer[1];
        valueRead_ = value;
        radioValue_ = value;
        if (cb_.valueRead) cb_.valueRead(value);
        completed_ = true;
        FinishSoon();
        return;
    }
    case TestModeState::AdjustOne:
        radioValue_ = sentValue_;
        completed_ = true;
        FinishSoon();
        return;
    case TestModeState::Storing:
        stage_ = stage_ == 0 ? 1 : 2;
        send_->Start(timing_.sendDelay);
        return;
    case TestModeState::Leaving:
        stage_ = 2;
        send_->Start(timing_.sendDelay);
        return;
    default: FinishSoon(); return;
    }
}

void TestModeExchange::FinishSoon() {
    stopped_ = true;
    send_->Stop();
    overtime_->Start(timing_.failDelay);
}

void TestModeExchange::OnOvertimeTick() {
    stopped_ = false;
    StopTimers();
    port_.SetReceiveThreshold(0);
    if (port_.IsOpen()) port_.Close();
    if (!completed_ || mode_ == TestModeState::Storing || mode_ == TestModeState::Leaving ||
        mode_ == TestModeState::Connecting)
        mode_ = TestModeState::Idle;
    else mode_ = TestModeState::Adjusting;
    stage_ = 0;
    if (cb_.ended) cb_.ended(mode_);
}

}  // namespace rm427
