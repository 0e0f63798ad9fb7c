#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace vx {

class TMeasData;

// The measuring thread "measuringData": moves stream packets into the ring of the
// current TMeasData until it is asked to stop or a read fails.
class TdataThread2 {
  public:
    explicit TdataThread2(std::function<TMeasData*()> currentMeasData);
    bool Finished() const { return finished_.load(std::memory_order_acquire); }

  private:
    void Execute(std::stop_token stop);

    std::function<TMeasData*()> currentMeasData_;
    std::atomic<bool> finished_{false};
    std::jthread thread_;
};

}  // namespace vx
