// The transport, the protocol and both worker threads over the real libusb, against
// the instrument emulated on a umockdev bus. Transfer time limits run in real time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <thread>

#include "EmulatedUsbInstrument.h"
#include "base/ManualTimer.h"
#include "device/LibusbBackend.h"
#include "device/ReplayBackend.h"
#include "device/SessionRecorder.h"
#include "measurement/DeviceLink.h"
#include "support/Recorders.h"
#include "support/SessionRun.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kPatience = 10s;

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = kPatience) {
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

class OpenGuard final : public LinkGuard {
  public:
    bool LinkActive() const override { return true; }
    bool ConnectionLost() const override { return false; }
};

// The bus with the instrument, libusb on it, and the transport over it. Members end
// in reverse order: link, libusb, then the emulated device and the testbed.
class LibusbLinkTest : public ::testing::Test {
  protected:
    LibusbLinkTest() : device(bed.Add()) {}

    test::UsbTestbed bed;
    test::EmulatedUsbInstrument& device;
    LibusbBackend usb;
    test::RecordingMessages messages;
    test::RecordingLinkEvents events;
};

// Transfers straight through the transport, no worker threads.
class LibusbTransportTest : public LibusbLinkTest {
  protected:
    void SetUp() override { ASSERT_TRUE(transport.OpenDevice()); }
    void TearDown() override { transport.CloseDevice(); }

    OpenGuard guard;
    UnitUSB transport{usb, messages, events, guard};
};

TEST_F(LibusbTransportTest, SilentReplyPipeGivesNopAfterItsTimeout) {
    uint8_t buffer[16] = {};
    const auto start = Clock::now();
    EXPECT_TRUE(transport.ReadR1(buffer));
    const auto took = Clock::now() - start;
    EXPECT_GE(took, 1000ms);
    EXPECT_LT(took, 2000ms);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 6), std::string("#NOP\xA7\0", 6));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(LibusbTransportTest, StalledStreamIsADataErrorReportedOnce) {
    device.Instrument().StallStream(true);
    uint8_t packet[32];
    const auto start = Clock::now();
    EXPECT_FALSE(transport.ReadR2(packet));
    EXPECT_GE(Clock::now() - start, 750ms);
    EXPECT_FALSE(transport.ReadR2(packet));  // refused from now on
    ASSERT_EQ(events.DataErrors().size(), 1u);
    EXPECT_EQ(events.DataErrors()[0].text, "Data error, save data and repower device");
    EXPECT_EQ(events.DataErrors()[0].caption, "WARNING");
    EXPECT_TRUE(events.DataErrors()[0].exitAfterSave);
}

TEST_F(LibusbTransportTest, StalledCommandPipeIsADataErrorThatStopsTheStream) {
    device.Instrument().StallCommands(true);
    const uint8_t half[16] = {'#', 'I', '0', '5'};
    const auto start = Clock::now();
    transport.WriteS1(half);
    EXPECT_GE(Clock::now() - start, 1500ms);
    ASSERT_EQ(events.DataErrors().size(), 1u);
    EXPECT_EQ(events.DataErrors()[0].caption, "ERROR");
    EXPECT_FALSE(events.DataErrors()[0].exitAfterSave);
    uint8_t packet[32];
    EXPECT_FALSE(transport.ReadR2(packet));
    EXPECT_EQ(device.PacketsDelivered(), 0);
    EXPECT_TRUE(messages.Shown().empty());
}

// The whole link with its threads; the test thread plays the user-interface thread.
class LibusbThreadsTest : public LibusbLinkTest {
  protected:
    ~LibusbThreadsTest() override { link.Shutdown(); }

    // The start-up ticks, each once the reply to the last query is in or waits in the
    // device for another to share its packet.
    void RunStartup() {
        for (int tick = 0; tick < 600 && !link.MeasData()->IsInitDone(); ++tick) {
            timers.Tick();
            WaitFor([&] { return !link.Protocol().commandPending || device.ReplyHeld(); }, 2s);
            events.ApplyReplies(link.Protocol());
        }
        ASSERT_TRUE(link.MeasData()->IsInitDone());
    }

    ManualTimerFactory timers;
    DeviceLink link{usb, messages, events, timers};
};

TEST_F(LibusbThreadsTest, StartupCompletesAndTheStreamArrivesInOrder) {
    device.Instrument().SetProfile(SimulatedInstrument::SequenceProfile());
    ASSERT_TRUE(link.Start(1));
    RunStartup();
    EXPECT_EQ(device.Instrument().ReceivedCommands().front(), "#I05");
    EXPECT_EQ(device.Instrument().ReceivedCommands().back(), "#A13");
    EXPECT_EQ(link.Protocol().ParamMask(), CommandProtocol::kAllParameters);
    EXPECT_EQ(events.Firmware(), std::vector<std::string>{"VX212 FW 2.14"});
    EXPECT_EQ(link.Protocol().Parameters().serialSensor, "SN500N-4711");

    // Five seconds of device time, taken from the ring as the poll does.
    TMeasData& meas = *link.MeasData();
    int64_t consumed = 0;
    bool inOrder = true;
    MeasSample sample;
    ASSERT_TRUE(WaitFor([&] {
        while (meas.TakeSample(sample)) {
            inOrder &= static_cast<uint16_t>(sample.raw) == (consumed & 0xFFFF);
            ++consumed;
        }
        return consumed >= 5000;
    }));
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(meas.ShortPackets(), 0);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_TRUE(events.DataErrors().empty());
}

// However the device packs its replies into packets of the reply pipe, every reply
// decodes and the start-up completes. "#I05" is 19 bytes with its end marker; the
// sensor serial of 26 characters fills a 32-byte frame.
struct ReplyPacketCase {
    const char* name;
    test::EmulatedUsbInstrument::ReplyPackets packets;
    size_t packetSeen;  // the case's own packet size
    friend void PrintTo(const ReplyPacketCase& c, std::ostream* out) { *out << c.name; }
};

class ReplyPacketTest : public LibusbThreadsTest,
                        public ::testing::WithParamInterface<ReplyPacketCase> {};

TEST_P(ReplyPacketTest, EveryReplyDecodesAndTheStartupCompletes) {
    SimulatedInstrument::Identity identity = SimulatedInstrument::DefaultIdentity();
    identity.replies["#Z76"] = "SN500N-4711-0123456789ABCD";
    device.Instrument().SetIdentity(identity);
    device.SetReplyPackets(GetParam().packets);
    ASSERT_TRUE(link.Start(1));
    RunStartup();
    const std::vector<size_t> sizes = device.ReplyPacketSizes();
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), GetParam().packetSeen), sizes.end());
    EXPECT_EQ(link.Protocol().ParamMask(), CommandProtocol::kAllParameters);
    EXPECT_EQ(events.Firmware().at(0), "VX212 FW 2.14");
    const DeviceParameters& p = link.Protocol().Parameters();
    EXPECT_EQ(p.serialSensor, "SN500N-4711-01234567");
    EXPECT_EQ(p.serialDevice, "ZM418-000123");
    EXPECT_EQ(p.unitText, "N");
    EXPECT_EQ(p.nominalValue, 500.0);
    EXPECT_EQ(p.linTable[7], 125.0);
    EXPECT_TRUE(messages.Shown().empty());
}

using Packets = test::EmulatedUsbInstrument::ReplyPackets;
INSTANTIATE_TEST_SUITE_P(
    Packets, ReplyPacketTest,
    ::testing::Values(ReplyPacketCase{"ReplyOf19BytesInOnePacket", Packets::WholeReply, 19},
                      ReplyPacketCase{"FrameOf32BytesInOnePacket", Packets::WholeReply, 32},
                      ReplyPacketCase{"FrameOf32BytesInTwoPackets", Packets::Halves, 16},
                      ReplyPacketCase{"TwoShortRepliesInOnePacket", Packets::Pairs, 32}),
    [](const auto& info) { return std::string(info.param.name); });

// A session recorded over libusb replays through the real threads to what it showed.
TEST_F(LibusbThreadsTest, RecordedSessionReplaysToTheSameParametersAndSamples) {
    constexpr size_t kSamples = 3000;
    device.Instrument().SetProfile(SimulatedInstrument::SequenceProfile());
    SessionRecorder recorder(usb);
    DeviceLink recordLink{recorder, messages, events, timers};
    const test::SessionOutcome recorded = test::RunSession(
        recordLink, events, timers,
        [&] { WaitFor([&] { return !recordLink.Protocol().commandPending; }, 2s); }, [] {},
        kSamples);
    recordLink.Shutdown();
    ASSERT_EQ(recorded.paramMask, CommandProtocol::kAllParameters);
    ASSERT_EQ(recorded.samples.size(), kSamples);

    std::stringstream text;
    WriteRecording(text, {"device_libusb_tests", "libusb", recorder.Transfers()});
    const auto read = ParseRecording(text);
    ASSERT_TRUE(std::holds_alternative<Recording>(read)) << std::get<std::string>(read);
    ReplayBackend replay(std::get<Recording>(read), ReplayBackend::Pacing::AsFastAsRead);
    test::RecordingLinkEvents replayEvents;
    ManualTimerFactory replayTimers;
    DeviceLink replayLink{replay, messages, replayEvents, replayTimers};
    const test::SessionOutcome replayed = test::RunSession(
        replayLink, replayEvents, replayTimers,
        [&] { WaitFor([&] { return replay.ReaderIdle(); }); }, [] {}, kSamples);
    replayLink.Shutdown();
    test::ExpectSameSession(replayed, recorded);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(LibusbThreadsTest, UnplugWhileStreamingEndsBothThreads) {
    ASSERT_TRUE(link.Start(1));
    TMeasData& meas = *link.MeasData();
    MeasSample sample;
    int64_t consumed = 0;
    ASSERT_TRUE(WaitFor([&] {
        while (meas.TakeSample(sample)) {
            ++consumed;
        }
        return consumed >= 1000;
    }));
    // Unplugged while a stream read waits in the device, as it nearly always does.
    device.Instrument().StallStream(true);
    ASSERT_TRUE(WaitFor([&] {
        while (meas.TakeSample(sample)) {
        }
        return device.StreamReadPending();
    }));
    device.Unplug();
    ASSERT_TRUE(WaitFor([&] {
        while (meas.TakeSample(sample)) {
        }
        return link.CommandThread()->Finished() && link.MeasuringThread()->Finished();
    }));
    // The stream read under way fails: the data error, save and end of the program.
    ASSERT_EQ(events.DataErrors().size(), 1u);
    EXPECT_EQ(events.DataErrors()[0].caption, "WARNING");
    EXPECT_TRUE(events.DataErrors()[0].exitAfterSave);
    // The next reply read cannot even start.
    const std::vector<test::ShownMessage> shown = {{"Error WinUsb_ReadPipe in UnitUSB", "WARNING"}};
    EXPECT_EQ(messages.Shown(), shown);
    link.Protocol().SendCommand("#I05");  // refused, no crash
}

// The measuring thread against a device that sends a packet every 10 ms and keeps
// only one: a packet not read before the next one is lost. The figure depends on the
// load of the machine, so the test prints it and fails only on a lasting loss.
// VX_USB_LOSS_SECONDS sets the length of the run (default 3 s).
TEST_F(LibusbThreadsTest, PacketsAtOnePerTenMillisecondsAreNotLost) {
    const char* seconds = std::getenv("VX_USB_LOSS_SECONDS");
    const auto duration = std::chrono::seconds(seconds ? std::atoi(seconds) : 3);
    device.Instrument().SetProfile(SimulatedInstrument::SequenceProfile());
    device.SetPacing(test::EmulatedUsbInstrument::Pacing::RealTime);
    ASSERT_TRUE(link.Start(1));
    TMeasData& meas = *link.MeasData();
    MeasSample sample;
    ASSERT_TRUE(WaitFor([&] { return meas.TakeSample(sample); }));
    uint16_t expected = static_cast<uint16_t>(sample.raw + 1);
    int64_t consumed = 1, skipped = 0;
    bool wholePackets = true;
    const auto end = Clock::now() + duration;
    while (Clock::now() < end) {
        std::this_thread::sleep_for(100ms);  // the poll's period
        while (meas.TakeSample(sample)) {
            const auto gap = static_cast<uint16_t>(static_cast<uint16_t>(sample.raw) - expected);
            wholePackets &= gap % 10 == 0;
            skipped += gap;
            expected = static_cast<uint16_t>(sample.raw + 1);
            ++consumed;
        }
    }
    const int64_t lost = device.LostPackets();
    const int64_t delivered = device.PacketsDelivered();
    std::printf("%lld s: packets sent %lld, received %lld, lost %lld\n",
                static_cast<long long>(duration.count()), static_cast<long long>(delivered + lost),
                static_cast<long long>(delivered), static_cast<long long>(lost));
    // What the ring lacks is exactly what the device dropped.
    EXPECT_TRUE(wholePackets);
    EXPECT_EQ(skipped, lost * 10);
    EXPECT_LE(lost * 100, device.PacketsDelivered());
    EXPECT_GE(consumed, duration.count() * 900);
}

}  // namespace
}  // namespace vx
