#include "radio/CloneExchange.h"

#include <algorithm>

namespace rm427 {

CloneExchange::CloneExchange(CloneDir dir, SerialPort& port, TimerFactory& timers, int comPort,
                             const CodeplugImage& image, const std::vector<ChannelFreqText>& channels,
                             Callbacks callbacks, CloneTiming timing)
    : dir_(dir),
      port_(port),
      comPort_(comPort),
      channels_(channels),
      cb_(std::move(callbacks)),
      timing_(timing),
      total_(CloneTotalSteps(dir)),
      base_(image),
      staged_(image) {
    send_timer_ = timers.CreateTimer([this] { OnSendTick(); });
    overtime_ = timers.CreateTimer([this] { OnOvertimeTick(); });
    poll_ = timers.CreateTimer([this] { OnPollTick(); });
    pause_ = timers.CreateTimer([this] { OnPauseTick(); });
    if (dir_ == CloneDir::Write) send_ = MakeSendImage(image, channels_);
    else send_ = image;
    unchecked_ = send_;
    port_.SetEventHandler([this](CommEvent e) { OnPortEvent(e); });
}

CloneExchange::~CloneExchange() {
    port_.SetEventHandler(nullptr);
    if (port_.IsOpen()) port_.Close();
}

void CloneExchange::ResetProgress() {
    progress_ = 0;
    if (cb_.progress) cb_.progress(progress_, ProgressMaximum());
}

bool CloneExchange::OpenPort() {
    if (port_.IsOpen()) port_.Close();
    port_.SetBufferSizes(kCloneInBuffer, kCloneOutBuffer);
    if (!port_.Open(comPort_, kRadioLineSettings)) return false;
    port_.DiscardBuffers();
    port_.SetReceiveThreshold(0);
    return true;
}

void CloneExchange::BeginRun() {
    step_ = 0;
    expected_ = 0;
    completed_ = false;
    aborted_ = false;
    framesSent_ = 0;
    lineLost_ = false;
    staged_ = base_;
    state_ = CloneState::Sending;
    send_timer_->Start(timing_.sendDelay);
}

void CloneExchange::SendAsIs() {
    if (state_ != CloneState::Idle || dir_ != CloneDir::Write) return;
    asIs_ = true;
    send_ = unchecked_ = base_;
}

bool CloneExchange::Start() {
    if (state_ != CloneState::Idle) return false;
    if (!OpenPort()) {
        if (cb_.portError) cb_.portError(port_.ErrorDescription());
        return false;
    }
    ResetProgress();
    BeginRun();
    return true;
}

void CloneExchange::OnSendTick() {
    send_timer_->Stop();
    if (state_ != CloneState::Sending) return;
    sentFrame_ = CloneFrame(dir_, step_, send_);
    received_.clear();
    // Anything still waiting belongs to an earlier frame. Dropped before the
    // frame goes out: a quick answer could already be in the driver's buffer
    // once the write returns (a simulator, or a COM port written at once).
    port_.DiscardInput();
    port_.Write(sentFrame_);
    ++framesSent_;
    expected_ = CloneAnswerLength(dir_, step_);
    port_.SetReceiveThreshold(1);
    if (step_ == total_) {
        completed_ = true;
        state_ = CloneState::Finishing;
        overtime_->Start(timing_.finishWait);
    } else {
        state_ = CloneState::Awaiting;
        overtime_->Start(timing_.answerTimeout);
    }
}

void CloneExchange::OnPortEvent(CommEvent e) {
    if (e == CommEvent::HangUp || e == CommEvent::IoError) {
        // The step still fails the usual way (no answer); this only says why.
        if (state_ != CloneState::Idle && state_ != CloneState::Closed) lineLost_ = true;
        return;
    }
    if (aborted_ || e != CommEvent::Receive || expected_ == 0) return;
    if (state_ != CloneState::Awaiting) return;  // already polling for this answer
    overtime_->Stop();
    state_ = CloneState::Collecting;
    polls_ = 0;
    lastWaiting_ = 0;
    // The polls run every 20 ms from this first byte, each due on its own
    // time whatever kept the one before it waiting.
    poll_->StartRepeating(timing_.pollInterval);
}

// An echoing cable sends every frame back before the radio answers. Bytes
// that repeat the whole frame just sent are the echo, not the answer: with
// a silent radio, the echo of a write frame that ends in 0x06 would
// otherwise pass for the acknowledgement. Without an echo, the answer is
// the last bytes received, whatever came before them.
int CloneExchange::AnswerBytes() const {
    const bool echo = !sentFrame_.empty() && received_.size() >= sentFrame_.size() &&
                      std::equal(sentFrame_.begin(), sentFrame_.end(), received_.begin());
    return static_cast<int>(received_.size() - (echo ? sentFrame_.size() : 0));
}

void CloneExchange::OnPollTick() {
    if (state_ != CloneState::Collecting) {
        poll_->Stop();
        return;
    }
    // Taking the bytes as they come (rather than counting them) lets the
    // echo be told from the answer; the line sees no difference.
    const Bytes more = port_.Read(port_.BytesWaiting());
    received_.insert(received_.end(), more.begin(), more.end());
    const int waiting = static_cast<int>(received_.size());
    ++polls_;
    if (AnswerBytes() >= expected_ && waiting == lastWaiting_) {
        poll_->Stop();
        Accept();
        return;
    }
    lastWaiting_ = waiting;
    if (polls_ >= timing_.maxPolls) FailStep();
}

void CloneExchange::Accept() {
    // Only the last bytes count: noise may precede them.
    const Bytes a(received_.end() - expected_, received_.end());
    if (step_ == 0) {
        low_ = a[ident::kLowLimit] << 8 | a[ident::kLowLimit + 1];
        high_ = a[ident::kHighLimit] << 8 | a[ident::kHighLimit + 1];
        ++step_;
        if (dir_ == CloneDir::Write && !asIs_) {
            BandCheck(send_, low_, high_, channels_);
            bandChanges_ = BandCheckChanges(unchecked_, send_, channels_);
        }
    } else {
        if (a[0] != kAckByte) {
            FailStep();
            return;
        }
        if (dir_ == CloneDir::Read) {
            const int off = CloneStepAddress(dir_, step_) - kRadioBase;
            std::copy(a.begin() + 1, a.end(), staged_.begin() + off);
        }
        ++step_;
        ++progress_;
        if (cb_.progress) cb_.progress(progress_, ProgressMaximum());
    }
    state_ = CloneState::Sending;
    send_timer_->Start(timing_.sendDelay);
}

void CloneExchange::FailStep() {
    aborted_ = true;
    state_ = CloneState::Failed;
    poll_->Stop();
    send_timer_->Stop();
    overtime_->Start(1);
}

void CloneExchange::OnOvertimeTick() {
    aborted_ = false;
    send_timer_->Stop();
    overtime_->Stop();
    poll_->Stop();
    if (completed_) {
        port_.SetReceiveThreshold(0);
        port_.Close();
        Finish(CloneOutcome::Succeeded);
        return;
    }
    state_ = CloneState::Failed;
    expected_ = 0;
    const bool retry = cb_.askRetry && cb_.askRetry();
    if (state_ != CloneState::Failed) return;  // cancelled from inside the question
    if (!retry) {
        Cancel();
        return;
    }
    ResetProgress();
    step_ = 0;
    if (port_.IsOpen()) port_.Close();
    pause_kind_ = Pause::Retry;
    pause_->Start(timing_.retryPause);
}

void CloneExchange::OnPauseTick() {
    const Pause kind = pause_kind_;
    pause_kind_ = Pause::None;
    if (kind == Pause::Retry) {
        if (state_ != CloneState::Failed) return;
        if (!OpenPort()) {
            state_ = CloneState::Idle;
            if (cb_.portError) cb_.portError(port_.ErrorDescription());
            return;
        }
        BeginRun();
    } else if (kind == Pause::Close) {
        port_.Close();
        Finish(CloneOutcome::Cancelled);
    }
}

void CloneExchange::Cancel() {
    if (state_ == CloneState::Closing || state_ == CloneState::Closed) return;
    // "DONE" has gone out: the exchange is complete and ends in a moment.
    if (completed_) return;
    send_timer_->Stop();
    overtime_->Stop();
    poll_->Stop();
    pause_->Stop();
    aborted_ = false;
    state_ = CloneState::Closing;
    // The radio leaves clone mode on "DONE", whatever state it is in.
    if (port_.IsOpen()) port_.Close();
    port_.SetBufferSizes(kCloneInBuffer, kCloneOutBuffer);
    if (port_.Open(comPort_, kRadioLineSettings)) {
        port_.DiscardBuffers();
        port_.Write(CloneFrame(dir_, total_, send_));
    }
    expected_ = 0;
    port_.SetReceiveThreshold(0);
    if (cb_.closing) cb_.closing();
    pause_kind_ = Pause::Close;
    pause_->Start(timing_.closePause);
}

void CloneExchange::Finish(CloneOutcome outcome) {
    state_ = CloneState::Closed;
    if (cb_.finished) cb_.finished(outcome);
}

void ApplyReadImage(Module1& state, const CodeplugImage& read) {
    state.Image = read;
    state.SnapshotRadioImage();
    state.SetDefaultLimits();
}

}  // namespace rm427
