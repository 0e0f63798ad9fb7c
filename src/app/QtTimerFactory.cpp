#include "app/QtTimerFactory.h"

#include <QTimer>

namespace vx {
namespace {

class QtTimer final : public Timer {
  public:
    explicit QtTimer(std::function<void()> onTick) : timer_(new QTimer) {
        // The connection keeps the callback, so it outlives this object while it runs.
        QObject::connect(timer_, &QTimer::timeout, timer_, std::move(onTick));
    }
    // The owner may destroy the timer inside its own tick: the QTimer goes once the
    // tick has returned.
    ~QtTimer() override {
        timer_->stop();
        timer_->deleteLater();
    }
    QtTimer(const QtTimer&) = delete;
    QtTimer& operator=(const QtTimer&) = delete;

    void Start(int intervalMs) override { timer_->start(intervalMs); }
    void Stop() override { timer_->stop(); }
    bool IsActive() const override { return timer_->isActive(); }
    int IntervalMs() const override { return timer_->interval(); }

  private:
    QTimer* timer_;
};

}  // namespace

std::unique_ptr<Timer> QtTimerFactory::Create(std::function<void()> onTick) {
    return std::make_unique<QtTimer>(std::move(onTick));
}

}  // namespace vx
