#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/MessageSink.h"
#include "chart/ChartModel.h"
#include "device/DeviceParameters.h"
#include "measurement/ExternalValues.h"
#include "measurement/MeasData.h"
#include "measurement/ValueFormat.h"
#include "settings/Settings.h"

namespace vx {

// What the sample processing reaches outside the measurement object.
class ProcessingHost {
  public:
    virtual ~ProcessingHost() = default;
    // The instrument reported the loss of its connection: status text and the
    // measurement controls off.
    virtual void ConnectionLost() = 0;
    // Types the text into the focused application, then Enter.
    virtual void TypeText(const std::string& text) = 0;
    // Hands a hand-triggered data set to the external program.
    virtual void StartExternalProgram(const std::string& program, const ExternalValues& values) = 0;
    // The series an automatic run feeds, of the current display kind, in the order
    // value, min, max, minAvr, maxAvr; null where the value's check box is off.
    virtual std::array<ChartSeries*, kSeriesCount> AutoRunSeries() = 0;
    // Lets both chart axes scale to the points again.
    virtual void RescaleChartAxes() = 0;
};

// Turns the ring's raw samples into calibrated live values and recorded data sets.
// Its peaks and mean of means live for the whole run: a new device link keeps them.
class SampleProcessor {
  public:
    SampleProcessor(const DeviceParameterSource& device, const ValueFormatter& formatter,
                    const Settings& settings, ProcessingHost& host, MessageSink& messages);

    // Drains the ring; true when at least one data set was recorded.
    bool ProcessSamples(TMeasData& meas);

    // The raw value on the instrument's calibrated scale, before linearisation.
    static double Calibrate(const DeviceParameters& p, int16_t raw);
    // Linearises a calibrated value; false for a degenerate segment or fewer than two
    // points.
    static bool Linearise(const DeviceParameters& p, double u, double& v);

    void ClearMeanOfMeans();

    double peakMax = -1e20;
    double peakMin = 1e20;
    double peakMaxAvr = -1e20;
    double peakMinAvr = 1e20;
    int32_t overloadHold = 0;
    int32_t meanCount = 0;
    double meanSum = 0.0;
    std::string meanOfMeansText = "---";
    bool calibErrorShown = false;
    // Data sets recorded since the program started.
    int64_t recordedCount = 0;

  private:
    void ObeyStatus(TMeasData& meas, uint8_t status);
    // Ends a window: the five live texts and the overload hold; returns the mean
    // relative to the zero reference.
    double EndWindow(TMeasData& meas);
    // What asked for a data set; the instrument's key wins over the button.
    enum class Trigger { Automatic, Button, Key };
    void RecordDataSet(TMeasData& meas, int16_t lastRaw, double diff, Trigger trigger);
    void FeedChart(TMeasData& meas);
    void ReportCalibrationError();

    // Time stamp the automatic run's points on the time axis count from.
    double plottedOrigin_ = 0.0;
    const DeviceParameterSource& device_;
    const ValueFormatter& formatter_;
    const Settings& settings_;
    ProcessingHost& host_;
    MessageSink& messages_;
};

}  // namespace vx
