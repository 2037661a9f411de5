// The exchange timers (core/radio/Timers.h) in the Qt event loop, ticking
// on the thread that owns them (the user-interface thread): on Linux a
// timerfd watched by the loop, which ticks on time to the microsecond;
// elsewhere a precise QTimer. The CLI runs them in a QCoreApplication event
// loop.
#pragma once

#include <QElapsedTimer>

#include "radio/Timers.h"

namespace rm427 {

class QtTimerFactory : public TimerFactory {
public:
    QtTimerFactory();
    std::unique_ptr<Timer> CreateTimer(std::function<void()> onTick) override;
    long long NowMs() const override { return clock_.elapsed(); }

private:
    QElapsedTimer clock_;
};

}  // namespace rm427
