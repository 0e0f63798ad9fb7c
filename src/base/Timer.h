#pragma once

#include <functional>
#include <memory>

namespace vx {

// A repeating timer on the user-interface thread. The window hands out Qt timers;
// tests hand out timers they tick by hand.
class Timer {
  public:
    virtual ~Timer() = default;
    virtual void Start(int intervalMs) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
    virtual int IntervalMs() const = 0;
};

class TimerFactory {
  public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> Create(std::function<void()> onTick) = 0;
};

}  // namespace vx
