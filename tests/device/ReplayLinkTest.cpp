// A session recorded from the simulated instrument through the real threads, written
// as text, read back and replayed through the real threads again.
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "device/ReplayBackend.h"
#include "device/SessionRecorder.h"
#include "device/SimulatedInstrument.h"
#include "support/SessionRun.h"
#include "support/StopDrivingClock.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr size_t kSamples = 3000;

template <typename Condition>
void WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
}

// Records a session of the simulated instrument on its manual clock.
Recording RecordSimulatedSession(test::SessionOutcome& seen) {
    SimulatedInstrument instrument{SimulatedInstrument::ClockMode::Manual};
    instrument.SetProfile(SimulatedInstrument::SequenceProfile());
    SessionRecorder recorder(instrument);
    test::RecordingMessages messages;
    test::RecordingLinkEvents events;
    ManualTimerFactory timers;
    DeviceLink link{recorder, messages, events, timers};
    seen = test::RunSession(
        link, events, timers, [&] { instrument.WaitForIdleReader(10s); },
        [&] { instrument.AdvanceClock(10ms); }, kSamples);
    test::StopDrivingClock(link, instrument);
    return {"device_thread_tests", "simulated", recorder.Transfers()};
}

TEST(ReplayLinkTest, RecordedSessionReplaysToTheSameParametersAndSamples) {
    test::SessionOutcome recorded;
    const Recording recording = RecordSimulatedSession(recorded);
    ASSERT_TRUE(recorded.initDone);
    ASSERT_EQ(recorded.samples.size(), kSamples);

    std::stringstream text;
    WriteRecording(text, recording);
    const auto read = ParseRecording(text);
    ASSERT_TRUE(std::holds_alternative<Recording>(read)) << std::get<std::string>(read);

    ReplayBackend replay(std::get<Recording>(read), ReplayBackend::Pacing::AsFastAsRead);
    test::RecordingMessages messages;
    test::RecordingLinkEvents events;
    ManualTimerFactory timers;
    DeviceLink link{replay, messages, events, timers};
    const test::SessionOutcome replayed = test::RunSession(
        link, events, timers, [&] { WaitFor([&] { return replay.ReaderIdle(); }); }, [] {},
        kSamples);
    link.Shutdown();

    EXPECT_EQ(recorded.paramMask, CommandProtocol::kAllParameters);
    test::ExpectSameSession(replayed, recorded);
    EXPECT_TRUE(messages.Shown().empty());
}

// A command the recording never saw gets no answer: the read ends empty, as with a
// silent instrument; a known one is answered again from its first recorded answer.
TEST(ReplayLinkTest, UnknownCommandIsAnsweredWithNothing) {
    Recording recording;
    std::vector<uint8_t> frame(32, 0);
    std::copy_n("#I05", 4, frame.begin());
    frame[5] = 0xA7;
    recording.transfers = {{0, Pipe::S1, {frame.begin(), frame.begin() + 16}},
                           {1, Pipe::S1, {frame.begin() + 16, frame.end()}},
                           {2, Pipe::R1, {'#', 'I', '0', '5', 'X', 0, 0xA7}}};
    ReplayBackend replay(recording);
    ASSERT_EQ(replay.Open(), OpenOutcome::Opened);
    const auto send = [&](const char* code) {
        std::vector<uint8_t> command(32, 0);
        std::copy_n(code, 4, command.begin());
        command[5] = 0xA7;
        replay.Transfer(Pipe::S1, std::span(command).first(16), 1500ms);
        replay.Transfer(Pipe::S1, std::span(command).last(16), 1500ms);
    };
    uint8_t buffer[16] = {};
    send("#Z16");
    EXPECT_EQ(replay.Transfer(Pipe::R1, buffer, 20ms).outcome, TransferOutcome::NotCompleted);
    for (int round = 0; round < 2; ++round) {
        send("#I05");
        const TransferResult result = replay.Transfer(Pipe::R1, buffer, 20ms);
        EXPECT_EQ(result.outcome, TransferOutcome::Completed);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 5), "#I05X");
    }
    // No stream recorded: a stream read times out.
    uint8_t packet[32];
    EXPECT_EQ(replay.Transfer(Pipe::R2, packet, 20ms).outcome, TransferOutcome::NotCompleted);
    replay.Close();
}

}  // namespace
}  // namespace vx
