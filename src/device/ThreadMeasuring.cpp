#include "device/ThreadMeasuring.h"

#include "device/ThreadCommand.h"

namespace vx {

TdataThread2::TdataThread2(std::function<FetchOutcome()> fetchBlock)
    : fetchBlock_(std::move(fetchBlock)),
      thread_([this](std::stop_token stop) { Execute(stop); }) {}

void TdataThread2::Execute(std::stop_token stop) {
    NameCurrentThread("measuringData");
    while (!stop.stop_requested()) {
        const FetchOutcome outcome = fetchBlock_();
        if (outcome == FetchOutcome::ReadFailed) {
            break;
        }
        // The poll empties the ring every 100 ms; a millisecond's wait costs no packet,
        // as the stream reads in flight hold more than that.
        if (outcome == FetchOutcome::NoRoom) {
            std::this_thread::sleep_for(kNoRoomPause);
        }
    }
    finished_.store(true, std::memory_order_release);
}

}  // namespace vx
