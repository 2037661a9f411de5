// Timers for the radio exchanges.
//
// The exchange state machines (clone, test mode) never sleep: every wait of
// theirs - the 1 ms send timer, the answer time-outs, the 20 ms polls, the
// 30 ms and 300 ms pauses - is a Timer: one-shot, or repeating for a series
// of polls, which then keep their pace from the first answer byte however
// busy the machine is. A machine gets its timers
// from a TimerFactory and reacts to two kinds of input only: a timer's tick
// and the port's receive event. Both arrive on the user-interface thread, so
// the machine needs no locking and the window stays responsive.
//
// Implementations:
//   gui/io/QtTimers.h    QTimer-based (precise timers), for the GUI and the CLI
//   core/radio/ManualClock.h   virtual time for unit tests, advanced by hand
#pragma once

#include <functional>
#include <memory>

namespace rm427 {

class Timer {
public:
    virtual ~Timer() = default;
    // (Re)starts the timer: it ticks once, `ms` milliseconds from now.
    virtual void Start(int ms) = 0;
    // (Re)starts the timer to tick every `ms` milliseconds until stopped.
    // Each tick is due `ms` after the previous one was due, however late
    // that one came: the ticks keep their pace from the start (a tick the
    // loop could not serve in time is not made up twice).
    virtual void StartRepeating(int ms) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    // A stopped timer that calls onTick when it expires. The callback may
    // start or stop any timer, this one included, and may destroy nothing
    // but its own machine's state.
    virtual std::unique_ptr<Timer> CreateTimer(std::function<void()> onTick) = 0;
    // Milliseconds from an arbitrary origin, for measurements.
    virtual long long NowMs() const = 0;
};

}  // namespace rm427
