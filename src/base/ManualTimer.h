#pragma once

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
    int ActiveTimers() const;

  private:
    class ManualTimer;
    std::vector<ManualTimer*> timers_;
};

}  // namespace vx
