#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "device/SimulatedInstrument.h"
#include "measurement/DeviceLink.h"

namespace vx::test {

// Stopping waits for the workers, which wait on the simulated clock: moves it on until
// the stop has returned.
inline void StopDrivingClock(DeviceLink& link, SimulatedInstrument& instrument) {
    std::atomic<bool> stopped{false};
    std::thread stopper([&] {
        link.Stop();
        stopped = true;
    });
    while (!stopped) {
        instrument.AdvanceClock(std::chrono::milliseconds(100));
        std::this_thread::yield();
    }
    stopper.join();
}

}  // namespace vx::test
