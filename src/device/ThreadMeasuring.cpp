#include "device/ThreadMeasuring.h"

#include "device/ThreadCommand.h"

namespace vx {

TdataThread2::TdataThread2(std::function<bool()> fetchBlock)
    : fetchBlock_(std::move(fetchBlock)),
      thread_([this](std::stop_token stop) { Execute(stop); }) {}

void TdataThread2::Execute(std::stop_token stop) {
    NameCurrentThread("measuringData");
    while (!stop.stop_requested()) {
        if (!fetchBlock_()) {
            break;
        }
        // A full ring is retried at once; yielding lets the consumer run meanwhile.
        std::this_thread::yield();
    }
    finished_.store(true, std::memory_order_release);
}

}  // namespace vx
