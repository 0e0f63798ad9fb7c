#pragma once

#include <functional>
#include <vector>

#include "base/Timer.h"

namespace vx {

// Timers that fire only when their owner says so: the console diagnostic ticks them
// from its own loop, tests tick them by hand.
class ManualTimerFactory final : public TimerFactory {
  public:
    std::unique_ptr<Timer> Create(std::function<void()> onTick) override;

    // Fires every active timer once.
    void Tick();
    // Fires the active timers of that interval once each, so that a test can tell its
    // timers apart; how many fired.
    int Fire(int intervalMs);
    int ActiveTimers() const;
    bool Active(int intervalMs) const;

  private:
    class ManualTimer;
    int FireWhere(const std::function<bool(const ManualTimer&)>& chosen);
    std::vector<ManualTimer*> timers_;
};

}  // namespace vx
