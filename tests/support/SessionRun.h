#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "base/ManualTimer.h"
#include "measurement/DeviceLink.h"
#include "support/Recorders.h"

namespace vx::test {

// What a run of the link showed: the device parameters and the start of the stream.
struct SessionOutcome {
    bool initDone = false;
    uint32_t paramMask = 0;
    DeviceParameters parameters;
    std::vector<std::string> firmware;
    std::vector<std::pair<uint8_t, int16_t>> samples;  // status, raw
};

// The real link on its backend, the test thread playing the user-interface thread:
// the start-up ticks, each once settle() says the replies are dealt with, then
// `count` samples from the ring, calling moveStream() whenever it is empty.
inline SessionOutcome RunSession(DeviceLink& link, RecordingLinkEvents& events,
                                 ManualTimerFactory& timers, const std::function<void()>& settle,
                                 const std::function<void()>& moveStream, size_t count) {
    SessionOutcome outcome;
    if (!link.Start(1)) {
        return outcome;
    }
    for (int tick = 0; tick < 600 && !link.MeasData()->IsInitDone(); ++tick) {
        timers.Tick();
        settle();
        events.ApplyReplies(link.Protocol());
    }
    outcome.initDone = link.MeasData()->IsInitDone();
    outcome.paramMask = link.Protocol().ParamMask();
    outcome.parameters = link.Protocol().Parameters();
    outcome.firmware = events.Firmware();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    MeasSample sample;
    while (outcome.samples.size() < count && std::chrono::steady_clock::now() < deadline) {
        if (link.MeasData()->TakeSample(sample)) {
            outcome.samples.emplace_back(sample.status, sample.raw);
        } else {
            moveStream();
            std::this_thread::yield();
        }
    }
    return outcome;
}

// The same parameters, the same firmware text and the same samples.
inline void ExpectSameSession(const SessionOutcome& replayed, const SessionOutcome& recorded) {
    EXPECT_TRUE(replayed.initDone);
    EXPECT_EQ(replayed.paramMask, recorded.paramMask);
    EXPECT_EQ(replayed.firmware, recorded.firmware);
    const auto fields = [](const DeviceParameters& p) {
        return std::tie(p.calibScale, p.calibOffset, p.serialDevice, p.nominalValue,
                        p.deviceParam62, p.deviceParam63, p.linTable, p.linCount, p.unitText,
                        p.serialSensor);
    };
    EXPECT_EQ(fields(replayed.parameters), fields(recorded.parameters));
    EXPECT_EQ(replayed.samples, recorded.samples);
}

}  // namespace vx::test
