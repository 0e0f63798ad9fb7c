#include "measurement/SampleProcessing.h"

#include <fmt/format.h>

#include <algorithm>

#include "chart/DisplayModes.h"
#include "measurement/ValueText.h"

namespace vx {

namespace {

// Raw digits to the instrument's calibrated scale, kept in extended precision.
constexpr long double kRawScale = 1.0L / 23542.35L;
constexpr int32_t kOverloadHoldSamples = 1000;
constexpr int32_t kMeanCountLimit = 1'000'000;

}  // namespace

SampleProcessor::SampleProcessor(const DeviceParameterSource& device,
                                 const ValueFormatter& formatter, const Settings& settings,
                                 ProcessingHost& host, MessageSink& messages)
    : device_(device),
      formatter_(formatter),
      settings_(settings),
      host_(host),
      messages_(messages) {}

void SampleProcessor::ClearMeanOfMeans() {
    meanCount = 0;
    meanSum = 0.0;
    meanOfMeansText = "---";
}

double SampleProcessor::Calibrate(const DeviceParameters& p, int16_t raw) {
    return static_cast<double>(kRawScale * p.calibScale * raw -
                               static_cast<long double>(p.calibOffset));
}

bool SampleProcessor::Linearise(const DeviceParameters& p, double u, double& v) {
    const int n = std::min<int>(p.linCount, 5);
    if (n < 2) {
        return false;  // no segment of two points to interpolate on
    }
    const auto X = [&](int k) { return p.linTable[6 + k]; };
    const auto Y = [&](int k) { return p.linTable[1 + k]; };
    int k = 1;
    while (k < n - 1 && !(u <= X(k))) {
        ++k;
    }
    const double dx = X(k) - X(k - 1);
    if (dx == 0.0) {
        return false;
    }
    const double slope = (Y(k) - Y(k - 1)) / dx;
    const double intercept = Y(k - 1) - slope * X(k - 1);
    v = slope * u + intercept;
    return true;
}

bool SampleProcessor::ProcessSamples(TMeasData& meas) {
    bool recorded = false;
    // Parameters complete once stay complete while the ring is drained: the link that
    // could start them anew runs on this thread.
    bool parametersIn = false;
    const DeviceParameters& p = device_.Parameters();
    MeasSample sample;
    while (meas.TakeSample(sample)) {
        meas.AdvanceSampleClock(1 + int64_t{sample.missedBefore});
        ObeyStatus(meas, sample.status);
        if (!parametersIn && !(parametersIn = device_.AllParametersIn())) {
            continue;
        }
        const double u = Calibrate(p, sample.raw);
        double v = 0.0;
        if (!Linearise(p, u, v)) {
            ReportCalibrationError();
            continue;
        }
        meas.blockSum += v;
        peakMax = v > peakMax ? v : peakMax;
        peakMin = v < peakMin ? v : peakMin;
        if (meas.zeroCountdown > 0) {
            meas.zeroSum += v;
            if (--meas.zeroCountdown == 0) {
                meas.zeroOffset = meas.zeroSum / meas.zeroSamples;
            }
        }
        if (overloadHold > 0) {
            --overloadHold;
        }
        if (++meas.blockCount < meas.samplesPerValue) {
            continue;
        }
        const double diff = EndWindow(meas);
        if (meas.singleShotRequest || meas.autoMode || meas.keyShotRequest) {
            const Trigger trigger = meas.keyShotRequest      ? Trigger::Key
                                    : meas.singleShotRequest ? Trigger::Button
                                                             : Trigger::Automatic;
            // Taken before the data set goes out: a box the launch opens lets further
            // polls run, and they must not record or launch for the same request again.
            meas.singleShotRequest = false;
            meas.keyShotRequest = false;
            RecordDataSet(meas, sample.raw, diff, trigger);
            recorded = true;
        }
    }
    return recorded;
}

void SampleProcessor::ObeyStatus(TMeasData& meas, uint8_t status) {
    switch (status) {
        case '1':  // a new zero reference starts with this sample
            meas.zeroSum = 0.0;
            meas.zeroCountdown = meas.zeroSamples;
            break;
        case '2':  // peaks cleared
            peakMax = -1e20;
            peakMin = 1e20;
            peakMinAvr = 1e20;
            peakMaxAvr = -1e20;
            break;
        case '3':  // the instrument's key, debounced
            if (settings_.useSelKeySingleShot &&
                DateTimeToMilliseconds(meas.sampleTime) >
                    DateTimeToMilliseconds(meas.lastKeyTime) + settings_.KeyDebounceTimeMs) {
                meas.lastKeyTime = meas.sampleTime;
                meas.keyShotRequest = true;
            }
            break;
        case '4':  // zero reference cleared
            meas.zeroOffset = 0.0;
            break;
        case '5':
            host_.ConnectionLost();
            meas.connectionLost.store(true, std::memory_order_release);
            break;
        default:
            break;
    }
}

void SampleProcessor::ReportCalibrationError() {
    // One box at a time: samples failing while it is open are dropped silently.
    if (calibErrorShown) {
        return;
    }
    calibErrorShown = true;
    messages_.Show("Sensor Calibration Error", "Error", MessageIcon::None,
                   [this] { calibErrorShown = false; });
}

double SampleProcessor::EndWindow(TMeasData& meas) {
    // Divided by the samples actually summed: a window the user shortened or
    // lengthened while it ran holds more or fewer than the new length.
    const double mean = meas.blockSum / meas.blockCount;
    meas.blockCount = 0;
    meas.blockSum = 0.0;
    peakMaxAvr = mean > peakMaxAvr ? mean : peakMaxAvr;
    peakMinAvr = mean < peakMinAvr ? mean : peakMinAvr;

    const double diff = mean - meas.zeroOffset;
    meas.meanText = formatter_.FormatValue(diff);
    const double nominal = device_.Parameters().nominalValue;
    if (diff > nominal || diff < -nominal) {
        overloadHold = kOverloadHoldSamples;
    }
    // Peaks are kept uncorrected, so a new zero reference shifts them at once.
    meas.minText = formatter_.FormatValue(peakMin - meas.zeroOffset);
    meas.maxText = formatter_.FormatValue(peakMax - meas.zeroOffset);
    meas.minAvrText = formatter_.FormatValue(peakMinAvr - meas.zeroOffset);
    meas.maxAvrText = formatter_.FormatValue(peakMaxAvr - meas.zeroOffset);
    return diff;
}

void SampleProcessor::RecordDataSet(TMeasData& meas, int16_t lastRaw, double diff,
                                    Trigger trigger) {
    tDataListArray& r = meas.AppendDataSet();
    ++recordedCount;
    r.value = meas.meanText;
    r.min = meas.minText;
    r.max = meas.maxText;
    r.minAvr = meas.minAvrText;
    r.maxAvr = meas.maxAvrText;
    r.adu = std::to_string(lastRaw);
    r.ms = fmt::format("{:03d}", DateTimeToMilliseconds(meas.sampleTime) % 1000);
    r.time = FormatTimeText(settings_.localeFormat, meas.sampleTime);
    r.date = FormatDateText(settings_.localeFormat, meas.sampleTime);
    r.timeStamp = meas.sampleTime;

    ++meanCount;
    meanSum += diff;
    if (meanCount > kMeanCountLimit) {
        // Older means weigh less from here on; the shown mean stays nearly the same.
        meanSum *= 0.1;
        meanCount /= 10;
    }
    meanOfMeansText =
        formatter_.FormatValue(meanSum / meanCount) + " " + device_.Parameters().unitText;

    if (trigger != Trigger::Automatic) {
        if (settings_.WriteToKeyBuffer && trigger == Trigger::Key) {
            ToExternalSeparator(meas.meanText, settings_.DecimalSeparator);
            host_.TypeText(meas.meanText);
        }
        if (!settings_.extProgramm.empty()) {
            for (std::string* text : {&meas.minText, &meas.maxText, &meas.minAvrText,
                                      &meas.maxAvrText, &meas.meanText}) {
                ToExternalSeparator(*text, settings_.DecimalSeparator);
            }
            const ExternalValues values{meas.minText,    meas.maxText,  meas.minAvrText,
                                        meas.maxAvrText, meas.meanText, r.time,
                                        r.date};
            host_.StartExternalProgram(settings_.extProgramm, values);
        }
        return;
    }
    FeedChart(meas);
}

void SampleProcessor::FeedChart(TMeasData& meas) {
    const std::array<ChartSeries*, kSeriesCount> series = host_.AutoRunSeries();
    const bool numberAxis = IsNumberAxis(settings_.graficMode);
    // The time axis counts seconds from the oldest data set of the store, as the table
    // does once the run has ended. After the store has wrapped that data set moves on
    // with every new one, and the points move back with it.
    double origin = plottedOrigin_;
    if (!numberAxis) {
        const int32_t oldestRecord =
            meas.dataWrapped ? (meas.dataIndex + 1) % meas.dataListSize : 0;
        origin = meas.GetTimeStamp(oldestRecord);
        if (origin != plottedOrigin_) {
            for (ChartSeries* s : series) {
                if (s != nullptr) {
                    s->ShiftX((plottedOrigin_ - origin) * 86400.0);
                }
            }
            plottedOrigin_ = origin;
        }
    }
    // About ten points a second at most, whatever the window.
    const int32_t divisor = meas.samplesPerValue >= 100 ? 1 : 100 / meas.samplesPerValue;
    if (meas.dataIndex % divisor == 0) {
        // On the number axis x is the store index, so the point of the overwritten
        // record sits at its own place; on the time axis the oldest point comes first.
        if (meas.dataWrapped) {
            const size_t oldest = numberAxis ? static_cast<size_t>(meas.dataIndex / divisor) : 0;
            for (ChartSeries* s : series) {
                if (s != nullptr) {
                    s->Delete(oldest);
                }
            }
        }
        const double x = numberAxis ? meas.dataIndex : (meas.sampleTime - origin) * 86400.0;
        const std::string_view separator = ProcessDecimalSeparator();
        for (size_t k = 0; k < series.size(); ++k) {
            if (series[k] == nullptr) {
                continue;
            }
            if (const auto y = ParseValueText(
                    meas.GetSeriesText(meas.dataIndex, static_cast<SeriesRole>(k)), separator)) {
                series[k]->Add(x, *y);
            }
        }
    }
    if (meas.dataIndex == 0) {
        host_.RescaleChartAxes();
    }
}

}  // namespace vx
