#include "base/ManualTimer.h"

#include <algorithm>

namespace vx {

class ManualTimerFactory::ManualTimer final : public Timer {
  public:
    ManualTimer(ManualTimerFactory& owner, std::function<void()> onTick)
        : owner_(owner), onTick_(std::move(onTick)) {
        owner_.timers_.push_back(this);
    }
    ~ManualTimer() override { std::erase(owner_.timers_, this); }

    void Start(int intervalMs) override {
        interval_ = intervalMs;
        active_ = true;
    }
    void Stop() override { active_ = false; }
    bool IsActive() const override { return active_; }
    int IntervalMs() const override { return interval_; }
    void Fire() {
        if (active_) {
            onTick_();
        }
    }

  private:
    ManualTimerFactory& owner_;
    std::function<void()> onTick_;
    int interval_ = 0;
    bool active_ = false;
};

std::unique_ptr<Timer> ManualTimerFactory::Create(std::function<void()> onTick) {
    return std::make_unique<ManualTimer>(*this, std::move(onTick));
}

void ManualTimerFactory::Tick() {
    FireWhere([](const ManualTimer&) { return true; });
}

int ManualTimerFactory::Fire(int intervalMs) {
    return FireWhere([intervalMs](const ManualTimer& t) { return t.IntervalMs() == intervalMs; });
}

int ManualTimerFactory::FireWhere(const std::function<bool(const ManualTimer&)>& chosen) {
    // A tick may create or destroy timers: fire a snapshot, skipping any that went away.
    const std::vector<ManualTimer*> snapshot = timers_;
    int fired = 0;
    for (ManualTimer* timer : snapshot) {
        if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end() &&
            timer->IsActive() && chosen(*timer)) {
            timer->Fire();
            ++fired;
        }
    }
    return fired;
}

bool ManualTimerFactory::Active(int intervalMs) const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](auto* t) { return t->IsActive() && t->IntervalMs() == intervalMs; });
}

int ManualTimerFactory::ActiveTimers() const {
    return static_cast<int>(
        std::count_if(timers_.begin(), timers_.end(), [](auto* t) { return t->IsActive(); }));
}

}  // namespace vx
