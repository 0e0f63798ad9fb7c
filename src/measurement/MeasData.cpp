#include "measurement/MeasData.h"

#include <algorithm>
#include <utility>

#include "device/CommandProtocol.h"
#include "device/UnitUSB.h"

namespace vx {

namespace {
int32_t NextSlot(int32_t index) {
    return index + 1 == TMeasData::kRingSize ? 0 : index + 1;
}

constexpr std::array<std::string tDataListArray::*, kSeriesCount> kSeriesFields = {
    &tDataListArray::value, &tDataListArray::min, &tDataListArray::max, &tDataListArray::minAvr,
    &tDataListArray::maxAvr};
}  // namespace

TMeasData::TMeasData(int32_t samplesPerValue, CommandProtocol& protocol, UnitUSB& usb,
                     TimerFactory& timers, std::function<void()> onStartupComplete,
                     double startTime)
    : dataList(std::make_unique<tDataListArray[]>(kDataListSize)),
      samplesPerValue(samplesPerValue),
      sampleTime(startTime),
      lastKeyTime(startTime),
      protocol_(protocol),
      usb_(usb),
      onStartupComplete_(std::move(onStartupComplete)),
      clockStartMs_(DateTimeToMilliseconds(startTime)) {
    protocol_.commandPending = false;
    initTimer = timers.Create([this] { OnInitTick(); });
    initTimer->Start(10);
}

TMeasData::~TMeasData() {
    if (initTimer) {
        initTimer->Stop();
    }
}

void TMeasData::OnInitTick() {
    if (!protocol_.OnInitTick()) {
        return;
    }
    initTimer->Stop();
    finishedTimer_ = std::move(initTimer);
    initDone = true;
    if (onStartupComplete_) {
        onStartupComplete_();
    }
}

const std::string& TMeasData::GetSeriesText(int32_t i, SeriesRole role) const {
    return dataList[i].*kSeriesFields[role];
}

void TMeasData::SetSeriesText(int32_t i, SeriesRole role, std::string text) {
    dataList[i].*kSeriesFields[role] = std::move(text);
}

void TMeasData::ClearDataIndex() {
    dataIndex = -1;
    dataWrapped = false;
}

void TMeasData::DropLastDataIndex() {
    if (dataIndex >= 0) {
        --dataIndex;
    }
}

void TMeasData::AdvanceDataIndex() {
    if (dataIndex < dataListSize - 1) {
        ++dataIndex;
    }
}

tDataListArray& TMeasData::AppendDataSet() {
    if (++dataIndex >= dataListSize) {
        dataIndex = 0;
        dataWrapped = true;
    }
    return dataList[dataIndex];
}

std::vector<int32_t> TMeasData::ChronologicalIndexes() const {
    std::vector<int32_t> order;
    if (dataWrapped) {
        for (int32_t i = dataIndex + 1; i < dataListSize; ++i) {
            order.push_back(i);
        }
    }
    for (int32_t i = 0; i <= dataIndex; ++i) {
        order.push_back(i);
    }
    return order;
}

void TMeasData::PutInChronologicalOrder() {
    if (!dataWrapped) {
        return;
    }
    std::rotate(dataList.get(), dataList.get() + dataIndex + 1, dataList.get() + dataListSize);
    dataIndex = dataListSize - 1;
    dataWrapped = false;
}

FetchOutcome TMeasData::FetchMeasBlock() {
    const int32_t read = ringRead.load(std::memory_order_acquire);
    int32_t write = ringWrite.load(std::memory_order_relaxed);
    for (int32_t k = 1; k <= kBlockSamples; ++k) {
        if ((write + k) % kRingSize == read) {
            return FetchOutcome::NoRoom;  // fewer than eleven free slots
        }
    }
    std::array<uint8_t, 32> packet{};
    int received = 0;
    if (!usb_.ReadR2(packet, &received)) {
        return FetchOutcome::ReadFailed;
    }
    // Only complete samples count: bytes that did not arrive are no samples.
    const int samples = std::min(kBlockSamples, received / 3);
    if (samples < kBlockSamples) {
        shortPackets_.fetch_add(1, std::memory_order_relaxed);
    }
    for (int k = 0; k < samples; ++k) {
        MeasSample& slot = ring[write];
        slot.raw = static_cast<int16_t>(packet[3 * k + 1] | (packet[3 * k + 2] << 8));
        slot.status = packet[3 * k];
        slot.missedBefore = std::exchange(missedSamples_, 0);
        write = NextSlot(write);
        // Release: the slot is complete before the consumer can see the new index.
        ringWrite.store(write, std::memory_order_release);
    }
    // The bytes that did not arrive were the packet's last samples.
    missedSamples_ += static_cast<uint32_t>(kBlockSamples - samples);
    return FetchOutcome::Stored;
}

bool TMeasData::TakeSample(MeasSample& sample) {
    const int32_t read = ringRead.load(std::memory_order_relaxed);
    if (read == ringWrite.load(std::memory_order_acquire)) {
        return false;
    }
    sample = ring[read];
    // Release: the slot has been copied before the producer may reuse it.
    ringRead.store(NextSlot(read), std::memory_order_release);
    return true;
}

int32_t TMeasData::UnreadSamples() const {
    const int32_t unread =
        ringWrite.load(std::memory_order_acquire) - ringRead.load(std::memory_order_acquire);
    return unread < 0 ? unread + kRingSize : unread;
}

void TMeasData::AdvanceSampleClock(int64_t ms) {
    elapsedMs_ += ms;
    sampleTime = MillisecondsToDateTime(clockStartMs_ + elapsedMs_);
}

}  // namespace vx
