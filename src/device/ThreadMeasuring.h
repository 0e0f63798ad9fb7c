#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace vx {

// The measuring thread "measuringData": moves stream packets into the sample ring
// until it is asked to stop or a read fails. fetchBlock moves one packet into the
// ring of the current measurement object (or nothing while the ring is full); false
// ends the thread.
class TdataThread2 {
  public:
    explicit TdataThread2(std::function<bool()> fetchBlock);
    bool Finished() const { return finished_.load(std::memory_order_acquire); }

  private:
    void Execute(std::stop_token stop);

    std::function<bool()> fetchBlock_;
    std::atomic<bool> finished_{false};
    std::jthread thread_;
};

}  // namespace vx
