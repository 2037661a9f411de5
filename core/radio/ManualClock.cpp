#include "radio/ManualClock.h"

#include <algorithm>

namespace rm427 {

class ManualClock::ManualTimer : public Timer {
public:
    ManualTimer(ManualClock* clock, std::function<void()> tick) : clock_(clock), tick_(std::move(tick)) {
        clock_->timers_.push_back(this);
    }
    ~ManualTimer() override {
        if (!clock_) return;
        auto& t = clock_->timers_;
        t.erase(std::remove(t.begin(), t.end(), this), t.end());
    }
    void Start(int ms) override {
        due_ = clock_->now_ + std::max(ms, 0);
        order_ = ++clock_->seq_;
        active_ = true;
        every_ = 0;
    }
    void StartRepeating(int ms) override {
        Start(ms);
        every_ = std::max(ms, 1);
    }
    void Stop() override { active_ = false; }
    bool IsActive() const override { return active_; }

    ManualClock* clock_;
    std::function<void()> tick_;
    long long due_ = 0;
    long long order_ = 0;
    bool active_ = false;
    int every_ = 0;  // repeating: the interval
};

ManualClock::ManualClock() = default;

ManualClock::~ManualClock() {
    for (auto* t : timers_) t->clock_ = nullptr;
}

std::unique_ptr<Timer> ManualClock::CreateTimer(std::function<void()> onTick) {
    return std::make_unique<ManualTimer>(this, std::move(onTick));
}

bool ManualClock::AnyActive() const {
    return std::any_of(timers_.begin(), timers_.end(), [](const ManualTimer* t) { return t->active_; });
}

namespace {
template <class T>
T* Earliest(const std::vector<T*>& timers) {
    T* best = nullptr;
    for (auto* t : timers)
        if (t->active_ &&
            (!best || t->due_ < best->due_ || (t->due_ == best->due_ && t->order_ < best->order_)))
            best = t;
    return best;
}
}  // namespace

bool ManualClock::FireNext() {
    ManualTimer* t = Earliest(timers_);
    if (!t) return false;
    now_ = std::max(now_, t->due_);
    if (t->every_ > 0) {
        // Due again one interval after this tick was due; the tick may stop
        // or restart it.
        t->due_ += t->every_;
        t->order_ = ++seq_;
    } else {
        t->active_ = false;
    }
    auto tick = t->tick_;  // the tick may destroy the timer
    tick();
    return true;
}

void ManualClock::Advance(long long ms) {
    const long long end = now_ + ms;
    for (;;) {
        ManualTimer* t = Earliest(timers_);
        if (!t || t->due_ > end) break;
        FireNext();
    }
    now_ = end;
}

}  // namespace rm427
