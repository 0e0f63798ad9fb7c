#pragma once

#include "base/Timer.h"

namespace vx {

// Timers of the Qt event loop, for core code that owns a timer. Create and use them
// on the user-interface thread.
class QtTimerFactory final : public TimerFactory {
  public:
    std::unique_ptr<Timer> Create(std::function<void()> onTick) override;
};

}  // namespace vx
