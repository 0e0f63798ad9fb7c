// The real worker threads against the simulated instrument on a clock the test
// advances. The test thread plays the user-interface thread.
#include <gtest/gtest.h>

#include <thread>

#include "base/ManualTimer.h"
#include "device/SimulatedInstrument.h"
#include "measurement/DeviceLink.h"
#include "support/Recorders.h"
#include "support/StopDrivingClock.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using Fault = SimulatedInstrument::ReplyFault;

constexpr auto kPatience = 10s;  // real time a worker may take before the test fails

const std::vector<std::string> kStartupCommands = {
    "#I05", "#Y00", "#Z16", "#Z17", "#Z18", "#Z61", "#Z62", "#Z63", "#Z64", "#Z65", "#Z66",
    "#Z67", "#Z68", "#Z69", "#Z70", "#Z71", "#Z72", "#Z73", "#Z74", "#Z75", "#Z76", "#A13"};

class LinkThreadsTest : public ::testing::Test {
  protected:
    ~LinkThreadsTest() override { StopDrivingClock(); }

    // One 10 ms start-up tick, then wait until the command thread has dealt with
    // every reply the tick caused, and take in what it handed over.
    void Tick() {
        timers.Tick();
        ASSERT_TRUE(instrument.WaitForIdleReader(kPatience));
        events.ApplyReplies(link.Protocol());
    }

    void StopDrivingClock() { test::StopDrivingClock(link, instrument); }

    SimulatedInstrument instrument{SimulatedInstrument::ClockMode::Manual};
    test::RecordingMessages messages;
    test::RecordingLinkEvents events;
    ManualTimerFactory timers;
    DeviceLink link{instrument, messages, events, timers};
};

TEST_F(LinkThreadsTest, StartupSendsOneQueryPerReplyUntilAllAreIn) {
    ASSERT_TRUE(link.Start(1));
    std::vector<size_t> commandsAfterTick;
    while (!link.MeasData()->IsInitDone() && commandsAfterTick.size() < 200) {
        Tick();
        commandsAfterTick.push_back(instrument.ReceivedCommands().size());
    }
    ASSERT_TRUE(link.MeasData()->IsInitDone());

    EXPECT_EQ(instrument.ReceivedCommands(), kStartupCommands);
    // 25 waiting ticks; the first query waits out the 11-tick time-out, as the link
    // starts with a command pending; then one command per tick, each answered before
    // the next; "#A13" has no reply, so the final check comes after another time-out.
    ASSERT_EQ(commandsAfterTick.size(), 25u + 11u + 21u + 11u);
    for (size_t tick = 0; tick < commandsAfterTick.size(); ++tick) {
        const size_t expected = tick < 35 ? 0 : std::min<size_t>(tick - 34, 22);
        EXPECT_EQ(commandsAfterTick[tick], expected) << "tick " << tick;
    }
    EXPECT_EQ(link.Protocol().ParamMask(), CommandProtocol::kAllParameters);
    EXPECT_EQ(link.MeasData()->initTimer, nullptr);
    EXPECT_FALSE(link.Protocol().commandPending);
    EXPECT_EQ(events.Firmware(), std::vector<std::string>{"VX212 FW 2.14"});
    const DeviceParameters& p = link.Protocol().Parameters();
    EXPECT_EQ(p.unitText, "N");
    EXPECT_EQ(p.serialDevice, "ZM418-000123");
    EXPECT_EQ(p.nominalValue, 500.0);
    EXPECT_EQ(p.linCount, 5);
    EXPECT_EQ(p.linTable[7], 125.0);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(LinkThreadsTest, UnansweredQueryRepeatsThePassAndNeverCompletes) {
    instrument.SetReplyFault("#Z65", Fault::Unanswered);
    ASSERT_TRUE(link.Start(1));
    for (int tick = 0; tick < 300; ++tick) {
        Tick();
    }
    EXPECT_FALSE(link.MeasData()->IsInitDone());
    const std::vector<std::string> sent = instrument.ReceivedCommands();
    ASSERT_GT(sent.size(), 2 * kStartupCommands.size());
    for (size_t i = 0; i < 2 * kStartupCommands.size(); ++i) {
        EXPECT_EQ(sent[i], kStartupCommands[i % kStartupCommands.size()]) << i;
    }
    EXPECT_FALSE(link.Protocol().ReplyReceived(9));
    EXPECT_NE(link.Protocol().ParamMask(), CommandProtocol::kAllParameters);
}

TEST_F(LinkThreadsTest, GarbledAndTruncatedRepliesAreNeverTakenForComplete) {
    instrument.SetReplyFault("#Z18", Fault::Garbled);
    instrument.SetReplyFault("#Z61", Fault::Truncated);
    ASSERT_TRUE(link.Start(1));
    for (int tick = 0; tick < 150; ++tick) {
        Tick();
    }
    EXPECT_FALSE(link.MeasData()->IsInitDone());
    EXPECT_FALSE(link.Protocol().ReplyReceived(4));
    EXPECT_TRUE(link.Protocol().Parameters().serialDevice.empty());
    EXPECT_EQ(link.Protocol().Parameters().nominalValue, 50.0);  // "#Z6150", cut short
}

// Every reply to "#Z76" comes 250 ms late. The first pass ends without it and starts
// again; its reply lands, so the second pass completes on that flag, and the second
// pass's own late reply lands while the poll reads the parameters. The command
// thread only hands it over: the test thread, the user-interface thread here, stores it.
TEST_F(LinkThreadsTest, LateReplyLandsWhileThePollReadsTheParameters) {
    instrument.SetReplyDelay("#Z76", 250ms);
    ASSERT_TRUE(link.Start(1));
    for (int tick = 0; tick < 400 && !link.MeasData()->IsInitDone(); ++tick) {
        Tick();
        instrument.AdvanceClock(10ms);
        ASSERT_TRUE(instrument.WaitForIdleReader(kPatience));  // a reply due now is in
        events.ApplyReplies(link.Protocol());
    }
    ASSERT_TRUE(link.MeasData()->IsInitDone());
    ASSERT_EQ(instrument.ReceivedCommands().size(), 2 * kStartupCommands.size());

    // The poll every 100 ms, reading what the labels and the processing read, while
    // the late reply comes in on the command thread.
    int landed = 0;
    for (int poll = 0; poll < 5; ++poll) {
        instrument.AdvanceClock(100ms);
        do {
            const DeviceParameters& p = link.Protocol().Parameters();
            ASSERT_EQ(p.serialSensor, "SN500N-4711");
            ASSERT_EQ(p.unitText, "N");
        } while (!instrument.ReaderWaiting());
        landed += events.ApplyReplies(link.Protocol());
    }
    EXPECT_EQ(landed, 1);
    EXPECT_EQ(link.Protocol().Parameters().serialSensor, "SN500N-4711");
    EXPECT_EQ(link.Protocol().ParamMask(), CommandProtocol::kAllParameters);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(LinkThreadsTest, StopReturnsWhenThePendingReplyWaitRunsOut) {
    ASSERT_TRUE(link.Start(1));
    ASSERT_TRUE(instrument.WaitForIdleReader(kPatience));  // a reply read is under way
    std::atomic<bool> stopped{false};
    std::thread stopper([&] {
        link.Stop();
        stopped = true;
    });
    while (link.Protocol().linkActive) {
        std::this_thread::yield();
    }
    // The reply read gives up after 1000 ms of device time and not before.
    instrument.AdvanceClock(999ms);
    EXPECT_TRUE(instrument.ReaderWaiting());
    EXPECT_FALSE(stopped);
    instrument.AdvanceClock(1ms);
    stopper.join();
    EXPECT_EQ(link.CommandThread(), nullptr);
    EXPECT_EQ(link.MeasuringThread(), nullptr);
}

TEST_F(LinkThreadsTest, MillionSamplesArriveCompleteAndInOrder) {
    instrument.SetProfile(SimulatedInstrument::SequenceProfile());
    ASSERT_TRUE(link.Start(1));
    TMeasData& meas = *link.MeasData();
    constexpr int64_t kSamples = 1'000'000;
    int64_t consumed = 0;
    bool inOrder = true;
    MeasSample sample;
    while (consumed < kSamples) {
        if (instrument.SamplesSent() < consumed + 2000) {
            instrument.AdvanceClock(100ms);
        }
        while (meas.TakeSample(sample)) {
            inOrder &= static_cast<uint16_t>(sample.raw) == (consumed & 0xFFFF);
            ++consumed;
        }
        std::this_thread::yield();
    }
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(meas.ShortPackets(), 0);
    EXPECT_FALSE(link.Usb().DataError());
}

TEST_F(LinkThreadsTest, StalledStreamIsADataErrorThatEndsOnlyTheMeasuringThread) {
    ASSERT_TRUE(link.Start(1));
    instrument.StallStream(true);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!link.MeasuringThread()->Finished() && std::chrono::steady_clock::now() < deadline) {
        instrument.AdvanceClock(100ms);
        std::this_thread::yield();
    }
    ASSERT_TRUE(link.MeasuringThread()->Finished());
    EXPECT_TRUE(link.Usb().DataError());
    ASSERT_EQ(events.DataErrors().size(), 1u);
    EXPECT_EQ(events.DataErrors()[0].caption, "WARNING");
    EXPECT_TRUE(events.DataErrors()[0].exitAfterSave);
    EXPECT_FALSE(link.CommandThread()->Finished());  // replies still come in

    link.Protocol().SendCommand("#I05");  // commands are refused now
    EXPECT_EQ(instrument.WritesReceived(), 0);
}

TEST_F(LinkThreadsTest, LostConnectionStatusReachesTheRing) {
    ASSERT_TRUE(link.Start(1));
    instrument.LoseConnection();
    instrument.AdvanceClock(10ms);
    MeasSample sample{};
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!link.MeasData()->TakeSample(sample) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_EQ(sample.status, '5');
}

}  // namespace
}  // namespace vx
