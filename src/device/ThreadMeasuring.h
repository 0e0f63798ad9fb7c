#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace vx {

// What one pass of the measuring thread did.
enum class FetchOutcome {
    Stored,      // a packet went into the ring
    NoRoom,      // the ring has no room: nothing was read
    ReadFailed,  // the stream read failed: the thread ends
};

// The measuring thread "measuringData": moves stream packets into the sample ring
// until it is asked to stop or a read fails. fetchBlock moves one packet into the
// ring of the current measurement object. While the ring has no room the thread
// sleeps a millisecond between tries instead of spinning.
class TdataThread2 {
  public:
    static constexpr auto kNoRoomPause = std::chrono::milliseconds(1);

    explicit TdataThread2(std::function<FetchOutcome()> fetchBlock);
    bool Finished() const { return finished_.load(std::memory_order_acquire); }

  private:
    void Execute(std::stop_token stop);

    std::function<FetchOutcome()> fetchBlock_;
    std::atomic<bool> finished_{false};
    std::jthread thread_;
};

}  // namespace vx
