// The exchange timers (core/radio/Timers.h) on QTimer: precise one-shot
// timers ticking on the thread that owns them (the user-interface thread).
// The CLI runs them in a QCoreApplication event loop.
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
