// Signals that end the program (Ctrl-C, kill, a closed terminal or SSH
// session, Ctrl-\) while it may be talking to a radio. Left to their default,
// they end the process at once and leave the radio in clone mode. While a
// StopSignals lives, SIGINT, SIGTERM, SIGHUP and SIGQUIT only note the signal
// and wake the event loop, which calls onStop(signal) there: the caller
// cancels its exchange (the radio hears "DONE") and ends with 128 + signal.
// SIGPIPE is ignored meanwhile, so progress written to a pipe that was
// closed fails quietly instead of ending the exchange midway.
//
// One instance at a time. On Windows it does nothing yet.
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace rm427 {

class StopSignals {
public:
    explicit StopSignals(std::function<void(int signal)> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first stop signal received while this instance lives, or 0.
    int Received() const;
    // Replaces what is called on a signal (a runner hands it on per exchange).
    void SetOnStop(std::function<void(int signal)> onStop) { onStop_ = std::move(onStop); }

private:
    std::function<void(int)> onStop_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool installed_ = false;
};

}  // namespace rm427
