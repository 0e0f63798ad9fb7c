#include <gtest/gtest.h>

#include "base/ManualTimer.h"
#include "device/CommandProtocol.h"
#include "measurement/MeasData.h"
#include "support/LinkParts.h"
#include "support/Recorders.h"
#include "support/ScriptedBackend.h"

namespace vx {
namespace {

// 2026-03-15 10:00:00.000 as a date-time.
constexpr double kStart = 46096.0 + 10.0 / 24.0;

class MeasDataTest : public ::testing::Test, protected test::LinkParts {
  protected:
    // Puts `unread` samples into the ring, its indexes wrapped around once.
    void FillRing(int unread) {
        meas.ringRead = 500;
        meas.ringWrite = (500 + unread) % TMeasData::kRingSize;
    }

    TMeasData meas{100, protocol, usb, timers, {}, kStart};
};

TEST_F(MeasDataTest, NewObjectIsEmptyAndStartsItsTimer) {
    EXPECT_EQ(meas.GetDataIndex(), -1);
    EXPECT_FALSE(meas.IsDataWrapped());
    EXPECT_EQ(meas.GetDataListSize(), 10240);
    ASSERT_NE(meas.initTimer, nullptr);
    EXPECT_TRUE(meas.initTimer->IsActive());
    EXPECT_EQ(meas.initTimer->IntervalMs(), 10);
    EXPECT_EQ(meas.sampleTime, kStart);
    EXPECT_EQ(meas.lastKeyTime, kStart);

    protocol.commandPending = true;
    TMeasData second{1, protocol, usb, timers};
    EXPECT_FALSE(protocol.commandPending);
}

TEST_F(MeasDataTest, StoreAppendsWrapsAndKeepsChronologicalOrder) {
    meas.AppendDataSet().value = "first";
    EXPECT_EQ(meas.GetDataIndex(), 0);
    EXPECT_EQ(meas.GetValueText(0), "first");

    meas.dataIndex = 10238;
    meas.AppendDataSet();
    EXPECT_EQ(meas.GetDataIndex(), 10239);
    EXPECT_FALSE(meas.IsDataWrapped());
    meas.AppendDataSet().value = "wrapped";
    EXPECT_EQ(meas.GetDataIndex(), 0);
    EXPECT_TRUE(meas.IsDataWrapped());
    EXPECT_EQ(meas.GetValueText(0), "wrapped");

    meas.AppendDataSet();
    const std::vector<int32_t> order = meas.ChronologicalIndexes();
    ASSERT_EQ(order.size(), 10240u);
    EXPECT_EQ(order.front(), 2);
    EXPECT_EQ(order[10237], 10239);
    EXPECT_EQ(order[10238], 0);
    EXPECT_EQ(order.back(), 1);
}

// 12 640 data sets into the 10240 records: record r afterwards holds data set
// 2400 + r, and dropping the newest drops data set 12 639 from the order too.
TEST_F(MeasDataTest, WrappedStoreIsPutInTimeOrder) {
    constexpr int kRecorded = 12640;
    for (int k = 0; k < kRecorded; ++k) {
        tDataListArray& r = meas.AppendDataSet();
        r.value = std::to_string(k);
        r.timeStamp = kStart + k * 1.1574074074074074e-8;
    }
    ASSERT_EQ(meas.GetDataIndex(), kRecorded - 10240 - 1);
    ASSERT_TRUE(meas.IsDataWrapped());

    meas.PutInChronologicalOrder();
    EXPECT_EQ(meas.GetDataIndex(), 10239);
    const std::vector<int32_t> order = meas.ChronologicalIndexes();
    ASSERT_EQ(order.size(), 10240u);
    for (int32_t i = 0; i < 10240; ++i) {
        ASSERT_EQ(order[i], i);
        ASSERT_EQ(meas.GetValueText(i), std::to_string(kRecorded - 10240 + i)) << i;
        ASSERT_EQ(meas.GetTimeStamp(i), kStart + (kRecorded - 10240 + i) * 1.1574074074074074e-8);
    }
    meas.DropLastDataIndex();
    EXPECT_EQ(meas.ChronologicalIndexes().size(), 10239u);
    EXPECT_EQ(meas.GetValueText(meas.ChronologicalIndexes().back()), std::to_string(kRecorded - 2));

    // The next data set goes behind the newest, overwriting the oldest.
    meas.SetDataIndexToEnd();
    meas.AppendDataSet().value = "next";
    EXPECT_EQ(meas.GetDataIndex(), 0);
    EXPECT_EQ(meas.GetValueText(meas.ChronologicalIndexes().back()), "next");
    EXPECT_EQ(meas.GetValueText(meas.ChronologicalIndexes().front()), "2401");

    // An unwrapped store stays as it is.
    meas.ClearDataIndex();
    meas.AppendDataSet().value = "only";
    meas.PutInChronologicalOrder();
    EXPECT_EQ(meas.GetDataIndex(), 0);
    EXPECT_EQ(meas.GetValueText(0), "only");
}

TEST_F(MeasDataTest, IndexOperationsStopAtTheEnds) {
    meas.DropLastDataIndex();
    EXPECT_EQ(meas.GetDataIndex(), -1);
    meas.SetDataIndexToEnd();
    EXPECT_EQ(meas.GetDataIndex(), 10239);
    meas.AdvanceDataIndex();
    EXPECT_EQ(meas.GetDataIndex(), 10239);
    EXPECT_FALSE(meas.IsDataWrapped());
    meas.DropLastDataIndex();
    EXPECT_EQ(meas.GetDataIndex(), 10238);
    meas.dataWrapped = true;
    meas.ClearDataIndex();
    EXPECT_EQ(meas.GetDataIndex(), -1);
    EXPECT_FALSE(meas.IsDataWrapped());
    EXPECT_TRUE(meas.ChronologicalIndexes().empty());
}

TEST_F(MeasDataTest, RingAdmitsABlockOnlyWithElevenFreeSlots) {
    for (int unread : {0, 989, 990, 999}) {
        SCOPED_TRACE(unread);
        FillRing(unread);
        const size_t readsBefore = backend.Transfers(Pipe::R2);
        const FetchOutcome outcome = meas.FetchMeasBlock();
        const bool admitted = unread <= 989;
        EXPECT_EQ(outcome, admitted ? FetchOutcome::Stored : FetchOutcome::NoRoom);
        EXPECT_EQ(backend.Transfers(Pipe::R2) - readsBefore, admitted ? 1u : 0u);
        EXPECT_EQ(meas.UnreadSamples(), admitted ? unread + 10 : unread);
    }
}

TEST_F(MeasDataTest, PacketLayoutIsStatusThenRawLowByteFirst) {
    std::vector<uint8_t> packet(32, 0);
    packet[0] = 0x31, packet[1] = 0x10, packet[2] = 0x27;    // status '1', raw 10000
    packet[27] = '0', packet[28] = 0x00, packet[29] = 0x80;  // raw -32768
    packet[30] = 0xFF, packet[31] = 0xEE;                    // unused bytes
    backend.QueueRead(Pipe::R2, packet);
    ASSERT_EQ(meas.FetchMeasBlock(), FetchOutcome::Stored);

    std::vector<MeasSample> samples;
    MeasSample s;
    while (meas.TakeSample(s)) {
        samples.push_back(s);
    }
    ASSERT_EQ(samples.size(), 10u);
    EXPECT_EQ(samples[0].status, 0x31);
    EXPECT_EQ(samples[0].raw, 10000);
    EXPECT_EQ(samples[9].raw, -32768);
}

TEST_F(MeasDataTest, ShortPacketAddsOnlyItsCompleteSamples) {
    std::vector<uint8_t> packet(17, 0x30);  // five samples and two bytes of a sixth
    backend.QueueRead(Pipe::R2, packet);
    ASSERT_EQ(meas.FetchMeasBlock(), FetchOutcome::Stored);
    EXPECT_EQ(meas.UnreadSamples(), 5);
    EXPECT_EQ(meas.ShortPackets(), 1);

    backend.QueueRead(Pipe::R2, {});
    ASSERT_EQ(meas.FetchMeasBlock(), FetchOutcome::Stored);
    EXPECT_EQ(meas.UnreadSamples(), 5);
    EXPECT_EQ(meas.ShortPackets(), 2);
}

TEST_F(MeasDataTest, FailedStreamReadEndsTheMeasuringThreadsWork) {
    guard.active = false;
    EXPECT_EQ(meas.FetchMeasBlock(), FetchOutcome::ReadFailed);
}

TEST_F(MeasDataTest, SampleClockCountsWholeMilliseconds) {
    for (int i = 0; i < 1000; ++i) {
        meas.AdvanceSampleClock();
    }
    EXPECT_EQ(DateTimeToMilliseconds(meas.sampleTime) - DateTimeToMilliseconds(kStart), 1000);
    for (int i = 1000; i < 3'600'000; ++i) {
        meas.AdvanceSampleClock();
    }
    EXPECT_EQ(DateTimeToMilliseconds(meas.sampleTime) - DateTimeToMilliseconds(kStart), 3'600'000);
    EXPECT_NEAR(meas.sampleTime, kStart + 1.0 / 24.0, 1e-9);
}

TEST_F(MeasDataTest, StartupTimerIsReleasedWhenTheSequenceCompletes) {
    bool completed = false;
    TMeasData withHandler{1, protocol, usb, timers, [&] { completed = true; }, kStart};
    for (int step = 0; step < CommandProtocol::kStartupQueries; ++step) {
        Frame frame{};
        const std::string code = std::string(
                                     "#I05#Y00#Z16#Z17#Z18#Z61#Z62#Z63#Z64#Z65#Z66"
                                     "#Z67#Z68#Z69#Z70#Z71#Z72#Z73#Z74#Z75#Z76")
                                     .substr(4 * step, 4);
        std::copy(code.begin(), code.end(), frame.begin());
        frame[5] = 0xA7;
        protocol.DecodeReply(frame);
        events.ApplyReplies(protocol);
    }
    protocol.BeginLink();
    for (int tick = 0; tick < 2000 && !withHandler.IsInitDone(); ++tick) {
        withHandler.OnInitTick();
        protocol.commandPending = false;  // every command answered at once
    }
    EXPECT_TRUE(withHandler.IsInitDone());
    EXPECT_TRUE(completed);
    EXPECT_EQ(withHandler.initTimer, nullptr);
}

}  // namespace
}  // namespace vx
