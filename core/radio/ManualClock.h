// A TimerFactory on virtual time, for unit tests of the exchange machines:
// nothing ticks until the test calls Advance().
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "radio/Timers.h"

namespace rm427 {

class ManualClock : public TimerFactory {
public:
    ManualClock();
    ~ManualClock() override;
    std::unique_ptr<Timer> CreateTimer(std::function<void()> onTick) override;
    long long NowMs() const override { return now_; }

    // Moves time forward by ms, firing every timer that expires on the way,
    // in order of expiry (timers started by a tick fire too if they expire
    // within the span).
    void Advance(long long ms);
    // Advances to the next expiry and fires it. False when no timer runs.
    bool FireNext();
    bool AnyActive() const;

private:
    class ManualTimer;
    friend class ManualTimer;
    long long now_ = 0;
    long long seq_ = 0;
    std::vector<ManualTimer*> timers_;
};

}  // namespace rm427
