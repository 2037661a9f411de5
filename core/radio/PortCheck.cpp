#include "radio/PortCheck.h"

#include <cerrno>

#include "radio/WriteCheck.h"
#include "text/TextTable.h"

namespace rm427 {

namespace {
// The widest band a radio of this kind reports, 0.1 MHz: 100 to 550 MHz.
constexpr int kLowestBand = 1000;
constexpr int kHighestBand = 5500;
constexpr int kTextEcho = 3730;
constexpr int kTextSilence = 3731;
constexpr int kTextGarbage = 3732;
}  // namespace

PortProblem PortProblemFromErrno(int error) {
    switch (error) {
    case 0: return PortProblem::None;
    case ENOENT:
    case ENODEV:
    case ENXIO: return PortProblem::NoDevice;
    case EACCES:
    case EPERM: return PortProblem::PermissionDenied;
    case EBUSY: return PortProblem::InUse;
    default: return PortProblem::Other;
    }
}

LineReply ClassifyReply(const Bytes& sent, const Bytes& received) {
    if (received.empty()) return LineReply::Silence;
    if (sent.empty()) return LineReply::Garbage;
    for (std::size_t i = 0; i < received.size(); ++i)
        if (received[i] != sent[i % sent.size()]) return LineReply::Garbage;
    return LineReply::Echo;
}

std::string PortProblemText(int language, PortProblem problem, const std::string& device,
                            const DeviceAccess& access, const std::string& detail) {
    constexpr unsigned kGroupReadWrite = 060, kOthersReadWrite = 006;
    switch (problem) {
    case PortProblem::None: return {};
    case PortProblem::NoDevice: return FillText(LoadText(language, 3230), {device});
    case PortProblem::InUse: return FillText(LoadText(language, 3231), {device});
    case PortProblem::PermissionDenied:
        // Joining a group helps only when the group may read and write.
        if (!access.group.empty() && (access.mode & kGroupReadWrite) == kGroupReadWrite)
            return FillText(LoadText(language, 3232), {device, access.group});
        if (!access.owner.empty() && (access.mode & kOthersReadWrite) != kOthersReadWrite)
            return FillText(LoadText(language, 3890), {device, access.owner});
        return FillText(LoadText(language, 3233), {device});
    case PortProblem::NotSerial: return FillText(LoadText(language, 3861), {device});
    case PortProblem::Other: break;
    }
    return FillText(LoadText(language, 3234), {device, detail});
}

PortTest::PortTest(SerialPort& port, TimerFactory& timers, int comPort,
                   std::function<void(const Result&)> done, CloneTiming timing)
    : port_(port), comPort_(comPort), done_(std::move(done)), timing_(timing) {
    timeout_ = timers.CreateTimer([this] { Finish(false); });
    poll_ = timers.CreateTimer([this] { OnPoll(); });
    close_ = timers.CreateTimer([this] { OnClosed(); });
}

PortTest::~PortTest() {
    port_.SetEventHandler(nullptr);
    if (port_.IsOpen()) port_.Close();
}

bool PortTest::Start() {
    if (running_) return false;
    result_ = Result();
    port_.SetBufferSizes(kCloneInBuffer, kCloneOutBuffer);
    if (!port_.Open(comPort_, kRadioLineSettings)) {
        result_.error = port_.ErrorDescription();
        if (done_) done_(result_);
        return false;
    }
    result_.opened = true;
    running_ = true;
    collecting_ = false;
    port_.DiscardBuffers();
    port_.SetEventHandler([this](CommEvent e) { OnEvent(e); });
    port_.SetReceiveThreshold(1);
    sent_ = CloneFrame(CloneDir::Read, 0, CodeplugImage{});
    port_.Write(sent_);
    timeout_->Start(timing_.answerTimeout);
    return true;
}

void PortTest::OnEvent(CommEvent e) {
    if (e != CommEvent::Receive || !running_ || collecting_ || close_->IsActive()) return;
    timeout_->Stop();
    collecting_ = true;
    polls_ = 0;
    last_ = 0;
    poll_->StartRepeating(timing_.pollInterval);
}

void PortTest::OnPoll() {
    const int waiting = port_.BytesWaiting();
    ++polls_;
    if (waiting >= 18 && waiting == last_) {
        const Bytes all = port_.Read(waiting);
        if (all.size() >= 18) {
            // Only the last bytes count (an echo or noise may come first),
            // and only a band a radio can have makes them an answer.
            const std::uint8_t* a = all.data() + all.size() - 18;
            const int low = a[14] << 8 | a[15], high = a[16] << 8 | a[17];
            if (low >= kLowestBand && low < high && high <= kHighestBand) {
                result_.low = low;
                result_.high = high;
                result_.identification.assign(a, a + 14);
                Finish(true);
                return;
            }
        }
        result_.reply = ClassifyReply(sent_, all);
        Finish(false);
        return;
    }
    last_ = waiting;
    if (polls_ >= timing_.maxPolls) Finish(false);
}

void PortTest::Finish(bool answered) {
    timeout_->Stop();
    poll_->Stop();
    result_.answered = answered;
    if (!answered && result_.reply == LineReply::Silence)
        result_.reply = ClassifyReply(sent_, port_.Read(port_.BytesWaiting()));
    port_.SetReceiveThreshold(0);
    // The radio leaves clone mode on "DONE", whether it answered or not.
    port_.Write(CloneFrame(CloneDir::Read, kReadSteps, CodeplugImage{}));
    close_->Start(timing_.finishWait);
}

void PortTest::OnClosed() {
    port_.SetEventHandler(nullptr);
    port_.Close();
    running_ = false;
    if (done_) done_(result_);
}

std::string PortTestText(int language, const PortTest::Result& r, const std::string& portName) {
    if (!r.opened) return r.error;
    if (r.answered) return FillText(LoadText(language, 3236), {BandText(r.low, r.high)});
    const int next = r.reply == LineReply::Echo      ? kTextEcho
                     : r.reply == LineReply::Garbage ? kTextGarbage
                                                     : kTextSilence;
    return FillText(LoadText(language, 3237), {portName}) + (language == 1 ? "" : " ") +
           LoadText(language, next);
}

}  // namespace rm427
