#include "io/QtTimers.h"

#include <QTimer>

namespace rm427 {

namespace {
class QtTimer : public Timer {
public:
    explicit QtTimer(std::function<void()> tick) {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [t = std::move(tick)] { t(); });
    }
    void Start(int ms) override { timer_.start(ms < 0 ? 0 : ms); }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};
}  // namespace

QtTimerFactory::QtTimerFactory() { clock_.start(); }

std::unique_ptr<Timer> QtTimerFactory::CreateTimer(std::function<void()> onTick) {
    return std::make_unique<QtTimer>(std::move(onTick));
}

}  // namespace rm427
