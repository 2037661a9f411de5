// CloneExchange: one read or one write on a port, step by step.
//
// The machine is driven only by its timers and the port's receive event; it
// never sleeps, so the caller's event loop keeps running. Its host - the
// clone window or the CLI - gives it a port, a TimerFactory and callbacks:
//
//   progress(value, maximum)   after each answered step (and reset to 0)
//   askRetry() -> bool         a step failed: true = Retry (start over with
//                              the access word), false = Cancel
//   portError(description)     the port could not be opened; back to Idle
//   finished(outcome)          the exchange is over and the port closed.
//                              Succeeded: for a read, ReadImage() holds the
//                              complete image; Cancelled: nothing was taken
//   closing()                  the cancel sequence has sent "DONE"; the
//                              window hides for the last 300 ms
//
// A read goes into a staging copy of the image; the caller's image changes
// only when the read completed (the caller then copies ReadImage() in and
// takes its snapshot, resets the limits, refreshes and sets the title).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "radio/CloneProtocol.h"
#include "radio/SerialPort.h"
#include "radio/Timers.h"
#include "radio/WriteCheck.h"

namespace rm427 {

enum class CloneState { Idle, Sending, Awaiting, Collecting, Finishing, Failed, Closing, Closed };
enum class CloneOutcome { None, Succeeded, Cancelled };

class CloneExchange {
public:
    struct Callbacks {
        std::function<void(int value, int maximum)> progress;
        std::function<bool()> askRetry;
        std::function<void(const std::string& description)> portError;
        std::function<void()> closing;
        std::function<void(CloneOutcome)> finished;
    };

    // image: the codeplug as it is now (the read's staging copy starts from
    // it; a write sends a copy taken here). channels: the editor's frequency
    // texts of channels 1..128 (write only: empty-grid rule and band check).
    CloneExchange(CloneDir dir, SerialPort& port, TimerFactory& timers, int comPort,
                  const CodeplugImage& image, const std::vector<ChannelFreqText>& channels,
                  Callbacks callbacks, CloneTiming timing = {});
    ~CloneExchange();
    CloneExchange(const CloneExchange&) = delete;
    CloneExchange& operator=(const CloneExchange&) = delete;

    // Write only, before Start: sends the image exactly as given - no 0xE91
    // rule, no band check. Putting a copy read from the radio back.
    void SendAsIs();

    // Start: opens the port and sends the access word. False (and portError)
    // when the port cannot be opened; the state stays Idle.
    bool Start();
    // Abandons the exchange at any time: "DONE" is sent (reopening the port
    // if need be), then after the pause the port is closed and finished(Cancelled).
    // Once the exchange's own "DONE" has gone out nothing is left to abandon:
    // the exchange finishes as it would have (Succeeded).
    void Cancel();

    CloneState State() const { return state_; }
    CloneDir Direction() const { return dir_; }
    int CurrentStep() const { return step_; }
    int TotalSteps() const { return total_; }
    int ProgressValue() const { return progress_; }
    int ProgressMaximum() const { return total_ - 1; }
    // Limits from the last identification block, 0.1 MHz.
    int LowerLimit() const { return low_; }
    int UpperLimit() const { return high_; }
    const CodeplugImage& ReadImage() const { return staged_; }
    const CodeplugImage& SendImage() const { return send_; }
    // Write: what the band check of the last identification changed.
    const std::vector<BandChange>& BandChanges() const { return bandChanges_; }
    // Frames written in the current run, for diagnostics and tests.
    int FramesSent() const { return framesSent_; }
    // The line went away (cable unplugged, adapter gone) during the current
    // run: a failure that follows is no answer from the radio.
    bool LineLost() const { return lineLost_; }

private:
    void OnSendTick();
    void OnOvertimeTick();
    void OnPollTick();
    void OnPauseTick();
    void OnPortEvent(CommEvent e);
    void Accept();
    int AnswerBytes() const;
    void FailStep();
    bool OpenPort();
    void BeginRun();
    void ResetProgress();
    void Finish(CloneOutcome outcome);

    CloneDir dir_;
    SerialPort& port_;
    int comPort_;
    std::vector<ChannelFreqText> channels_;
    Callbacks cb_;
    CloneTiming timing_;
    std::unique_ptr<Timer> send_timer_, overtime_, poll_, pause_;

    CloneState state_ = CloneState::Idle;
    int total_;
    int step_ = 0;
    int expected_ = 0;
    bool completed_ = false;
    bool aborted_ = false;
    int low_ = 0, high_ = 0;
    int progress_ = 0;
    int polls_ = 0, lastWaiting_ = 0;
    int framesSent_ = 0;
    bool lineLost_ = false;
    Bytes sentFrame_;  // the frame of the current step
    Bytes received_;   // what came back for it so far
    enum class Pause { None, Retry, Close } pause_kind_ = Pause::None;
    CodeplugImage base_;
    CodeplugImage staged_;
    CodeplugImage send_;
    CodeplugImage unchecked_;  // send_ before any band check
    bool asIs_ = false;
    std::vector<BandChange> bandChanges_;
};

// After a successful read: the image takes what was read, the snapshot is
// taken and the limits return to their defaults. The caller refreshes the
// channel editor and the title.
void ApplyReadImage(Module1& state, const CodeplugImage& read);

}  // namespace rm427
