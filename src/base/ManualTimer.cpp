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
    // A tick may create or destroy timers: fire a snapshot, skipping any that went away.
    const std::vector<ManualTimer*> snapshot = timers_;
    for (ManualTimer* timer : snapshot) {
        if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end()) {
            timer->Fire();
        }
    }
}

int ManualTimerFactory::ActiveTimers() const {
    return static_cast<int>(
        std::count_if(timers_.begin(), timers_.end(), [](auto* t) { return t->IsActive(); }));
}

}  // namespace vx
