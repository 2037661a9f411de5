#include "radio/PortCheck.h"

#include <cerrno>

#include "radio/WriteCheck.h"
#include "text/TextTable.h"

namespace rm427 {

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

std::string PortProblemText(int language, PortProblem problem, const std::string& device,
                            const std::string& group, const std::string& detail) {
    switch (problem) {
    case PortProblem::None: return {};
    case PortProblem::NoDevice: return FillText(LoadText(language, 3230), {device});
    case PortProblem::InUse: return FillText(LoadText(language, 3231), {device});
    case PortProblem::PermissionDenied:
        if (group.empty()) return FillText(LoadText(language, 3233), {device});
        return FillText(LoadText(language, 3232), {device, group});
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
    port_.Write(CloneFrame(CloneDir::Read, 0, CodeplugImage{}));
    timeout_->Start(timing_.answerTimeout);
    return true;
}

void PortTest::OnEvent(CommEvent e) {
    if (e != CommEvent::Receive || !running_ || collecting_ || close_->IsActive()) return;
    timeout_->Stop();
    collecting_ = true;
    polls_ = 0;
    last_ = 0;
    poll_->Start(timing_.pollInterval);
}

void PortTest::OnPoll() {
    const int waiting = port_.BytesWaiting();
    ++polls_;
    if (waiting >= 18 && waiting == last_) {
        const Bytes all = port_.Read(waiting);
        if (all.size() >= 18) {
            const std::uint8_t* a = all.data() + all.size() - 18;
            result_.low = a[14] << 8 | a[15];
            result_.high = a[16] << 8 | a[17];
            Finish(true);
            return;
        }
    }
    last_ = waiting;
    if (polls_ >= timing_.maxPolls) {
        Finish(false);
        return;
    }
    poll_->Start(timing_.pollInterval);
}

void PortTest::Finish(bool answered) {
    timeout_->Stop();
    poll_->Stop();
    result_.answered = answered;
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
    return FillText(LoadText(language, 3237), {portName});
}

}  // namespace rm427
