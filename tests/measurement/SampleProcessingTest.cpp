#include <gtest/gtest.h>

#include <functional>

#include "base/ManualTimer.h"
#include "desktop/ExternalParameters.h"
#include "measurement/SampleProcessing.h"
#include "support/LinkParts.h"
#include "support/Recorders.h"
#include "support/ScriptedBackend.h"

namespace vx {
namespace {

// 2026-03-15 10:00:00.000 as a date-time.
constexpr double kStart = 46096.0 + 10.0 / 24.0;

class RecordingHost final : public ProcessingHost {
  public:
    void ConnectionLost() override { ++connectionLost; }
    void TypeText(const std::string& text) override { typed.push_back(text); }
    // Records the program with its parameter text, as the window would build it.
    void StartExternalProgram(const std::string& program, const ExternalValues& values) override {
        launched.push_back(program + "|" + BuildExternalParameters(*parameterTemplate, values));
        if (onLaunch) {
            onLaunch();
        }
    }
    std::array<ChartSeries*, kSeriesCount> AutoRunSeries() override {
        std::array<ChartSeries*, kSeriesCount> fed{};
        for (size_t k = 0; k < fed.size(); ++k) {
            fed[k] = shown[k] ? &series[k] : nullptr;
        }
        return fed;
    }
    void RescaleChartAxes() override { ++rescales; }

    int connectionLost = 0;
    int rescales = 0;
    std::vector<std::string> typed, launched;
    std::function<void()> onLaunch;
    const std::string* parameterTemplate = nullptr;
    std::array<bool, 5> shown = {true, false, false, false, false};
    std::array<ChartSeries, 5> series = {
        ChartSeries{"Value", {}, SeriesKind::Points, PointerShape::Default},
        ChartSeries{"Min.", {}, SeriesKind::Points, PointerShape::Diamond},
        ChartSeries{"Max.", {}, SeriesKind::Points, PointerShape::Diamond},
        ChartSeries{"Min. averaged", {}, SeriesKind::Points, PointerShape::Circle},
        ChartSeries{"Max. averaged", {}, SeriesKind::Points, PointerShape::Circle}};
};

// An instrument whose calibrated value is the raw value itself, through two
// linearisation points (0, 0) and (1000, 1000) that extrapolate on both sides.
class SampleProcessingTest : public ::testing::Test, protected test::LinkParts {
  protected:
    SampleProcessingTest() {
        host.parameterTemplate = &settings.extParameter;
        settings.localeFormat.shortDateFormat = "%d.%m.%Y";
        settings.localeFormat.longTimeFormat = "%H:%M:%S";
        settings.KeyDebounceTimeMs = 70;
        settings.useSelKeySingleShot = true;
        settings.DecimalSeparator = ".";
        Parameters({{"#Z16", "23542.35"},
                    {"#Z17", "0"},
                    {"#Z18", "D"},
                    {"#Z61", "500"},
                    {"#Z62", "0"},
                    {"#Z63", "0"},
                    {"#Z64", "0"},
                    {"#Z65", "0"},
                    {"#Z66", "1000"},
                    {"#Z67", "1000"},
                    {"#Z68", "0"},
                    {"#Z69", "0"},
                    {"#Z70", "0"},
                    {"#Z71", "0"},
                    {"#Z72", "0"},
                    {"#Z73", "0"},
                    {"#Z74", "2"},
                    {"#Z75", "N"},
                    {"#Z76", "S"}});
    }

    void Parameters(const std::vector<std::pair<std::string, std::string>>& replies) {
        for (const auto& [code, payload] : replies) {
            const std::vector<uint8_t> bytes = test::ReplyFrame(code + payload);
            Frame frame{};
            std::copy(bytes.begin(), bytes.end(), frame.begin());
            protocol.DecodeReply(frame);
            events.ApplyReplies(protocol);
        }
    }

    // Hands samples to the ring as the measuring thread would, then processes them.
    void Push(std::initializer_list<MeasSample> samples) {
        for (const MeasSample& s : samples) {
            const int32_t w = meas.ringWrite;
            meas.ring[w] = s;
            meas.ringWrite = (w + 1) % TMeasData::kRingSize;
        }
    }
    bool Feed(std::initializer_list<MeasSample> samples) {
        Push(samples);
        return processor.ProcessSamples(meas);
    }
    bool Feed(int count, int16_t raw, uint8_t status = '0') {
        bool recorded = false;
        while (count > 0) {
            const int block = std::min(count, 900);
            for (int i = 0; i < block; ++i) {
                const int32_t w = meas.ringWrite;
                meas.ring[w] = {i == 0 ? status : uint8_t{'0'}, raw};
                meas.ringWrite = (w + 1) % TMeasData::kRingSize;
                status = '0';
            }
            recorded |= processor.ProcessSamples(meas);
            count -= block;
        }
        return recorded;
    }

    TMeasData meas{1, protocol, usb, timers, {}, kStart};
    Settings settings;
    ValueFormatter formatter{protocol.Parameters().nominalValue,
                             [] { return std::string_view("."); }};
    RecordingHost host;
    SampleProcessor processor{protocol, formatter, settings, host, messages};
};

TEST_F(SampleProcessingTest, WindowOfOneFollowsEverySample) {
    Feed({{'0', 100}});
    EXPECT_EQ(meas.meanText, " 100.00");
    Feed({{'0', 40}});
    EXPECT_EQ(meas.meanText, " 40.00");
    EXPECT_EQ(meas.minAvrText, " 40.00");
    EXPECT_EQ(meas.maxAvrText, " 100.00");
    EXPECT_EQ(meas.minText, " 40.00");
    EXPECT_EQ(meas.maxText, " 100.00");
}

TEST_F(SampleProcessingTest, WindowMeanAndPeakClearStatus) {
    meas.SetSamplesPerValue(4);
    Feed({{'0', 300}, {'0', -20}, {'0', 10}, {'0', 10}});
    EXPECT_EQ(meas.meanText, " 75.00");
    EXPECT_EQ(meas.maxText, " 300.0");
    EXPECT_EQ(meas.minText, "-20.00");
    // A peak clear starts the peaks at its own sample; the averaged peaks take the
    // mean of the window in progress when it ends.
    Feed({{'2', 50}, {'0', 70}});
    EXPECT_EQ(processor.peakMax, 70);
    EXPECT_EQ(processor.peakMin, 50);
    EXPECT_EQ(processor.peakMaxAvr, -1e20);
    Feed({{'0', 60}, {'0', 60}});
    EXPECT_EQ(processor.peakMaxAvr, 60);
    EXPECT_EQ(processor.peakMinAvr, 60);
}

TEST_F(SampleProcessingTest, ZeroReferenceFormsOverThousandSamplesAndClears) {
    Feed(1, 200, '1');
    EXPECT_EQ(meas.meanText, " 200.0");  // the old reference still applies
    Feed(998, 200);
    EXPECT_EQ(meas.zeroOffset, 0.0);
    Feed(1, 200);
    EXPECT_EQ(meas.zeroOffset, 200.0);
    EXPECT_EQ(meas.meanText, "  0.00");
    EXPECT_EQ(meas.maxText, "  0.00");  // peaks shift with the reference at once
    Feed(1, 250, '4');
    EXPECT_EQ(meas.meanText, " 250.0");
}

TEST_F(SampleProcessingTest, InstrumentKeyIsDebounced) {
    struct Case {
        bool enabled;
        int gapMs;
        int expectedDataSets;
    };
    for (const Case c : {Case{true, 50, 1}, Case{true, 71, 2}, Case{false, 71, 0}}) {
        SCOPED_TRACE(c.gapMs);
        TMeasData m{1, protocol, usb, timers, {}, kStart};
        settings.useSelKeySingleShot = c.enabled;
        const auto feed = [&](uint8_t status) {
            const int32_t w = m.ringWrite;
            m.ring[w] = {status, 10};
            m.ringWrite = (w + 1) % TMeasData::kRingSize;
        };
        for (int i = 0; i < 100; ++i) {
            feed('0');  // the first accepted press must lie past the debounce time too
        }
        feed('3');
        for (int i = 1; i < c.gapMs; ++i) {
            feed('0');
        }
        feed('3');
        processor.ProcessSamples(m);
        EXPECT_EQ(m.GetDataIndex() + 1, c.expectedDataSets);
    }
}

TEST_F(SampleProcessingTest, LinearisationExtrapolatesAndRefusesDegenerateTables) {
    DeviceParameters p;
    p.linCount = 2;
    p.linTable[6] = 0, p.linTable[7] = 1;    // inputs
    p.linTable[1] = 0, p.linTable[2] = 500;  // outputs
    double v = 0;
    ASSERT_TRUE(SampleProcessor::Linearise(p, 2.0, v));
    EXPECT_EQ(v, 1000.0);
    ASSERT_TRUE(SampleProcessor::Linearise(p, -1.0, v));
    EXPECT_EQ(v, -500.0);
    p.linTable[7] = 0;  // two equal inputs
    EXPECT_FALSE(SampleProcessor::Linearise(p, 0.5, v));
    for (uint8_t count : {0, 1}) {
        p.linCount = count;
        EXPECT_FALSE(SampleProcessor::Linearise(p, 0.5, v));
    }
    p.linCount = 200;  // more than five: only the five points count
    p.linTable[7] = 1;
    p.linTable[8] = 2, p.linTable[9] = 3, p.linTable[10] = 4;
    p.linTable[3] = 1000, p.linTable[4] = 1500, p.linTable[5] = 2000;
    ASSERT_TRUE(SampleProcessor::Linearise(p, 5.0, v));
    EXPECT_EQ(v, 2500.0);
}

TEST_F(SampleProcessingTest, CalibrationErrorShowsOnceWhileOpen) {
    Parameters({{"#Z67", "0"}});  // second input point equals the first
    Feed(50, 10);
    Feed(50, 10);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0], (test::ShownMessage{"Sensor Calibration Error", "Error"}));
    EXPECT_EQ(meas.blockCount, 0);  // dropped samples count for nothing
    EXPECT_TRUE(meas.meanText.empty());
    messages.CloseAll();
    Feed(1, 10);
    EXPECT_EQ(messages.Shown().size(), 2u);
}

TEST_F(SampleProcessingTest, OverloadHoldsForOneSecondAfterTheLastOverloadedWindow) {
    Feed({{'0', 500}});
    EXPECT_EQ(processor.overloadHold, 0);
    Feed({{'0', 501}});
    EXPECT_EQ(processor.overloadHold, 1000);
    Feed(999, 0);
    EXPECT_EQ(processor.overloadHold, 1);
    Feed(1, 0);
    EXPECT_EQ(processor.overloadHold, 0);
    Feed({{'0', -501}});
    EXPECT_EQ(processor.overloadHold, 1000);
}

TEST_F(SampleProcessingTest, RecordsDataSetWithSampleClockTexts) {
    Feed(1234, 7);
    meas.RequestSingleShot();
    EXPECT_TRUE(Feed({{'0', 42}}));
    ASSERT_EQ(meas.GetDataIndex(), 0);
    const tDataListArray& r = meas.dataList[0];
    EXPECT_EQ(r.value, " 42.00");
    EXPECT_EQ(r.adu, "42");
    EXPECT_EQ(r.ms, "235");
    EXPECT_EQ(r.time, "10:00:01");
    EXPECT_EQ(r.date, "15.03.2026");
    EXPECT_EQ(DateTimeToMilliseconds(r.timeStamp) - DateTimeToMilliseconds(kStart), 1235);
    EXPECT_FALSE(meas.singleShotRequest);
    EXPECT_EQ(processor.meanCount, 1);
    EXPECT_EQ(processor.meanOfMeansText, " 42.00 N");
    EXPECT_FALSE(Feed({{'0', 42}}));
}

TEST_F(SampleProcessingTest, NothingHappensBeforeEveryParameterArrived) {
    CommandProtocol silent{usb, messages, events};
    SampleProcessor early{silent, formatter, settings, host, messages};
    meas.RequestSingleShot();
    Push({{'2', 5}});
    EXPECT_FALSE(early.ProcessSamples(meas));
    EXPECT_TRUE(meas.meanText.empty());
    EXPECT_EQ(early.peakMax, -1e20);  // the status was obeyed, no value taken
    EXPECT_EQ(meas.GetDataIndex(), -1);
    EXPECT_TRUE(meas.singleShotRequest);  // still pending for the first full window
    EXPECT_EQ(DateTimeToMilliseconds(meas.sampleTime) - DateTimeToMilliseconds(kStart), 1);
    EXPECT_TRUE(Feed({{'0', 5}}));
    EXPECT_EQ(meas.GetDataIndex(), 0);
}

TEST_F(SampleProcessingTest, MeanOfMeansRescalesPastAMillion) {
    processor.meanCount = 1'000'000;
    processor.meanSum = 1'000'000 * 20.0;
    meas.RequestSingleShot();
    Feed({{'0', 20}});
    EXPECT_EQ(processor.meanCount, 100'000);
    EXPECT_DOUBLE_EQ(processor.meanSum, 2'000'002.0);
    EXPECT_EQ(processor.meanOfMeansText, " 20.00 N");
}

TEST_F(SampleProcessingTest, HandTriggeredDataSetsTypeAndLaunchInOrder) {
    settings.WriteToKeyBuffer = true;
    settings.DecimalSeparator = ",";
    settings.extProgramm = "logger";
    settings.extParameter = "_Date_ _Time_ _Mean_";
    meas.RequestSingleShot();
    Feed({{'0', 12}});  // a single shot from the button never types
    EXPECT_TRUE(host.typed.empty());
    ASSERT_EQ(host.launched.size(), 1u);
    EXPECT_EQ(host.launched[0],
              "logger|" + meas.dataList[0].date + " " + meas.dataList[0].time + "  12,00 ");
    EXPECT_EQ(meas.dataList[0].value, " 12.00");  // the record keeps its text

    Feed(100, 3);
    Feed({{'3', 7}});
    EXPECT_EQ(host.typed, std::vector<std::string>{"  7,00"});
    EXPECT_EQ(host.launched.size(), 2u);
}

TEST_F(SampleProcessingTest, KeyRecordsWithoutTypingOrLaunchingWhenBothAreOff) {
    settings.WriteToKeyBuffer = false;
    settings.extProgramm = "";
    settings.extParameter = "_Mean_ _Max_";
    Feed(100, 3);
    Feed({{'3', 7}});
    meas.RequestSingleShot();
    Feed({{'0', 8}});
    EXPECT_EQ(meas.GetDataIndex(), 1);
    EXPECT_TRUE(host.typed.empty());
    EXPECT_TRUE(host.launched.empty());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(SampleProcessingTest, PollsDuringTheLaunchNeitherRecordNorLaunchAgain) {
    settings.WriteToKeyBuffer = true;
    settings.extProgramm = "logger";
    for (const uint8_t trigger : {uint8_t{'0'}, uint8_t{'3'}}) {
        SCOPED_TRACE(trigger);
        host.launched.clear();
        host.typed.clear();
        const int32_t before = meas.GetDataIndex();
        Feed(100, 3);  // past the key's debounce time
        if (trigger == '0') {
            meas.RequestSingleShot();
        }
        // A failure box of the launch lets polls run while it is open.
        host.onLaunch = [this] {
            host.onLaunch = nullptr;
            Feed(3, 5);
        };
        Feed({{trigger, 12}});
        EXPECT_EQ(meas.GetDataIndex(), before + 1);
        EXPECT_EQ(host.launched.size(), 1u);
        EXPECT_EQ(host.typed.size(), trigger == '3' ? 1u : 0u);
    }
}

TEST_F(SampleProcessingTest, AutomaticRunFeedsThinnedChartAndReplacesAfterWrap) {
    meas.SetAutoMode(true);
    meas.SetSamplesPerValue(50);  // every second data set gets a point
    Feed(50 * 4, 10);
    EXPECT_EQ(meas.GetDataIndex(), 3);
    EXPECT_EQ(host.series[0].Points(), (std::vector<ChartPoint>{{0, 10}, {2, 10}}));
    EXPECT_EQ(host.rescales, 1);

    // Fill the store to its end, then wrap: points are replaced, not only added.
    meas.dataIndex = 10239;
    for (auto& s : host.series) {
        s.Clear();
    }
    for (int i = 0; i < 10240; i += 2) {
        host.series[0].Add(i, 1);
    }
    meas.dataWrapped = false;
    Feed(50, 20);  // the 10241st data set
    EXPECT_EQ(meas.GetDataIndex(), 0);
    EXPECT_TRUE(meas.IsDataWrapped());
    Feed(50 * 4, 30);
    const auto& points = host.series[0].Points();
    ASSERT_EQ(points.size(), 5120u);
    EXPECT_EQ(points[0], (ChartPoint{0, 20}));
    EXPECT_EQ(points[1], (ChartPoint{2, 30}));
    EXPECT_EQ(points[2], (ChartPoint{4, 30}));
    EXPECT_EQ(points[3], (ChartPoint{6, 1}));
    EXPECT_TRUE(
        std::is_sorted(points.begin(), points.end(), [](auto& a, auto& b) { return a.x < b.x; }));

    // A key-triggered data set in the run gets no chart point.
    meas.SetSamplesPerValue(1);
    const size_t before = points.size();
    meas.dataIndex = 99;
    Feed({{'3', 5}});
    EXPECT_EQ(meas.GetDataIndex(), 100);
    EXPECT_EQ(points.size(), before);
}

TEST_F(SampleProcessingTest, LostConnectionStatusStopsTheLink) {
    Feed({{'5', 1}});
    EXPECT_EQ(host.connectionLost, 1);
    EXPECT_TRUE(meas.IsConnectionLost());
}

}  // namespace
}  // namespace vx
