#include "io/QtTimers.h"

#include <QTimer>

#ifdef __linux__
#include <QSocketNotifier>

#include <cstdint>
#include <memory>

#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace rm427 {

namespace {

// Qt waits for a timer in whole milliseconds, rounded up: every tick comes
// up to a millisecond after it was due. An exchange step waits on two of
// them (the poll that takes the answer, the 1 ms before the next frame), so
// that alone made a read about 1 % slower than its wire time and waits. On
// Linux a timer is therefore a timerfd watched by the event loop: it ticks
// within microseconds of its due time. Elsewhere, and should the system
// refuse a timerfd, a precise QTimer.
class QtTimer : public Timer {
public:
    explicit QtTimer(std::function<void()> tick) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [t = std::move(tick)] { t(); });
    }
    void Start(int ms) override {
        timer_.setSingleShot(true);
        timer_.start(ms < 0 ? 0 : ms);
    }
    // A repeating precise QTimer is due again one interval after it was
    // due, not after it was served: the polls keep their pace.
    void StartRepeating(int ms) override {
        timer_.setSingleShot(false);
        timer_.start(ms < 1 ? 1 : ms);
    }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

#ifdef __linux__
class FdTimer : public Timer {
public:
    FdTimer(int fd, std::function<void()> tick) : fd_(fd), tick_(std::move(tick)) {
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { OnReadable(); });
    }
    ~FdTimer() override {
        notifier_.reset();
        ::close(fd_);
    }
    void Start(int ms) override { Arm(ms, 0); }
    void StartRepeating(int ms) override { Arm(ms < 1 ? 1 : ms, ms < 1 ? 1 : ms); }
    void Stop() override {
        active_ = false;
        const itimerspec off{};
        ::timerfd_settime(fd_, 0, &off, nullptr);  // also clears an expiry not yet read
    }
    bool IsActive() const override { return active_; }

private:
    static timespec Span(int ms) {
        timespec t{};
        t.tv_sec = ms / 1000;
        t.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
        return t;
    }
    void Arm(int ms, int every) {
        itimerspec due{};
        due.it_value = Span(ms < 0 ? 0 : ms);
        if (due.it_value.tv_sec == 0 && due.it_value.tv_nsec == 0)
            due.it_value.tv_nsec = 1;  // 0 would disarm
        due.it_interval = Span(every);
        repeating_ = every > 0;
        active_ = true;
        ::timerfd_settime(fd_, 0, &due, nullptr);
    }
    void OnReadable() {
        std::uint64_t expiries = 0;
        // Nothing to read: stopped or restarted after the loop saw it ready.
        if (::read(fd_, &expiries, sizeof expiries) != static_cast<ssize_t>(sizeof expiries)) return;
        if (!active_) return;
        // Expiries the loop could not serve in time give one tick, not several.
        if (!repeating_) active_ = false;
        auto tick = tick_;  // the tick may destroy this timer
        tick();
    }

    int fd_;
    std::function<void()> tick_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool active_ = false;
    bool repeating_ = false;
};
#endif

}  // namespace

QtTimerFactory::QtTimerFactory() { clock_.start(); }

std::unique_ptr<Timer> QtTimerFactory::CreateTimer(std::function<void()> onTick) {
#ifdef __linux__
    const int fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd >= 0) return std::make_unique<FdTimer>(fd, std::move(onTick));
#endif
    return std::make_unique<QtTimer>(std::move(onTick));
}

}  // namespace rm427
