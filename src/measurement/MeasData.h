#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/Timer.h"
#include "chart/ChartModel.h"
#include "device/ThreadMeasuring.h"

namespace vx {

class CommandProtocol;
class UnitUSB;

// One ring slot: a sample exactly as the instrument sent it, and how many samples
// short packets lost right before it, whose milliseconds the sample clock still counts.
struct MeasSample {
    uint8_t status = 0;
    int16_t raw = 0;
    uint32_t missedBefore = 0;
};

// One recorded data set: the texts the table, the files and the clipboard show.
struct tDataListArray {
    std::string value, min, max, minAvr, maxAvr, adu, time, date, ms;
    double timeStamp = 0.0;
};

// The one object the device link, the sample processing and the window share: the
// sample ring, the running sums, the live texts, the data-set store and the timer
// of the instrument's start-up sequence. Built anew by every device initialisation.
class TMeasData {
  public:
    static constexpr int32_t kRingSize = 1000;
    static constexpr int32_t kBlockSamples = 10;
    static constexpr int32_t kDataListSize = 10240;

    // onStartupComplete runs on the tick that completes the start-up sequence.
    TMeasData(int32_t samplesPerValue, CommandProtocol& protocol, UnitUSB& usb,
              TimerFactory& timers, std::function<void()> onStartupComplete = {},
              double startTime = NowAsDateTime());
    ~TMeasData();
    TMeasData(const TMeasData&) = delete;
    TMeasData& operator=(const TMeasData&) = delete;

    void OnInitTick();
    bool IsInitDone() const { return initDone; }
    bool IsConnectionLost() const { return connectionLost.load(std::memory_order_acquire); }
    void SetSamplesPerValue(int32_t n) { samplesPerValue = n; }

    int32_t GetDataListSize() const { return dataListSize; }
    int32_t GetDataIndex() const { return dataIndex; }
    bool IsDataWrapped() const { return dataWrapped; }
    void SetDataIndexToEnd() { dataIndex = dataListSize - 1; }
    void ClearDataIndex();
    void DropLastDataIndex();
    void AdvanceDataIndex();
    // The recording step's index advance: wraps to record 0 and sets dataWrapped.
    tDataListArray& AppendDataSet();
    // Store indexes of the data sets, oldest first.
    std::vector<int32_t> ChronologicalIndexes() const;
    // Moves the records of a wrapped store into time order, oldest at index 0 and the
    // newest at the last index, so that store index and table row coincide again; the
    // store then reads as one that has not wrapped.
    void PutInChronologicalOrder();

    void RequestSingleShot() { singleShotRequest = true; }
    void SetAutoMode(bool on) { autoMode = on; }
    bool IsAutoMode() const { return autoMode; }

    std::string GetLiveMean() const { return meanText; }
    std::string GetLiveMin() const { return minText; }
    std::string GetLiveMax() const { return maxText; }
    std::string GetLiveMinAvr() const { return minAvrText; }
    std::string GetLiveMaxAvr() const { return maxAvrText; }

    std::string GetValueText(int32_t i) const { return dataList[i].value; }
    std::string GetMinText(int32_t i) const { return dataList[i].min; }
    std::string GetMaxText(int32_t i) const { return dataList[i].max; }
    std::string GetMinAvrText(int32_t i) const { return dataList[i].minAvr; }
    std::string GetMaxAvrText(int32_t i) const { return dataList[i].maxAvr; }
    std::string GetTimeText(int32_t i) const { return dataList[i].time; }
    std::string GetDateText(int32_t i) const { return dataList[i].date; }
    std::string GetMsText(int32_t i) const { return dataList[i].ms; }
    void SetValueText(int32_t i, std::string t) { dataList[i].value = std::move(t); }
    void SetMinText(int32_t i, std::string t) { dataList[i].min = std::move(t); }
    void SetMaxText(int32_t i, std::string t) { dataList[i].max = std::move(t); }
    void SetMinAvrText(int32_t i, std::string t) { dataList[i].minAvr = std::move(t); }
    void SetMaxAvrText(int32_t i, std::string t) { dataList[i].maxAvr = std::move(t); }
    void SetTimeText(int32_t i, std::string t) { dataList[i].time = std::move(t); }
    void SetDateText(int32_t i, std::string t) { dataList[i].date = std::move(t); }
    void SetMsText(int32_t i, std::string t) { dataList[i].ms = std::move(t); }
    double GetTimeStamp(int32_t i) const { return dataList[i].timeStamp; }
    // The five measured values of record i in series order (SeriesRole): the order in
    // which the table, the chart and the data-set files list them.
    const std::string& GetSeriesText(int32_t i, SeriesRole role) const;
    void SetSeriesText(int32_t i, SeriesRole role, std::string text);

    // Measuring thread only: one packet into the ring, or nothing while it has no room
    // for ten more samples.
    FetchOutcome FetchMeasBlock();

    // Consumer side of the ring (user-interface thread): takes the oldest unread sample.
    bool TakeSample(MeasSample& sample);
    int32_t UnreadSamples() const;
    // Advances the sample clock by ms milliseconds.
    void AdvanceSampleClock(int64_t ms = 1);
    // Packets that brought fewer than ten complete samples.
    int64_t ShortPackets() const { return shortPackets_.load(std::memory_order_relaxed); }

    // Fields the sample processing works on directly.
    std::unique_ptr<tDataListArray[]> dataList;
    std::unique_ptr<Timer> initTimer;
    int32_t samplesPerValue;
    int32_t zeroSamples = 1000;
    int32_t dataListSize = kDataListSize;
    std::atomic<int32_t> ringRead{0};
    std::atomic<int32_t> ringWrite{0};
    std::array<MeasSample, kRingSize> ring;
    double blockSum = 0.0;
    int32_t blockCount = 0;
    int32_t zeroCountdown = 0;
    double zeroSum = 0.0;
    double zeroOffset = 0.0;
    bool initDone = false;
    std::atomic<bool> connectionLost{false};
    int32_t dataIndex = -1;
    bool dataWrapped = false;
    bool singleShotRequest = false;
    bool keyShotRequest = false;
    bool autoMode = false;
    std::string meanText, minText, maxText, minAvrText, maxAvrText;
    double sampleTime;
    double lastKeyTime;

  private:
    CommandProtocol& protocol_;
    UnitUSB& usb_;
    std::function<void()> onStartupComplete_;
    // The start-up timer after the sequence has completed: it is released with the
    // object, not inside its own tick.
    std::unique_ptr<Timer> finishedTimer_;
    // The sample clock counts whole milliseconds from its start: adding one
    // millisecond to a date-time double again and again would drift.
    int64_t clockStartMs_;
    int64_t elapsedMs_ = 0;
    std::atomic<int64_t> shortPackets_{0};
    // Measuring thread only: samples lost since the last one put into the ring.
    uint32_t missedSamples_ = 0;
};

}  // namespace vx
