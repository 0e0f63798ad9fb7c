// The measuring stream from a hostile instrument: packets of any length and content
// through the ring, the sample processing and the value formatting, with the
// calibration partly from hostile replies and the user's buttons pressed in between.
//
// Input: a header (window length, settings, store size, up to three replies that
// replace the default calibration), then records of one control byte each:
//   00xxxxxx  a packet of (x % 33) bytes follows, read by the measuring side
//   01xxxxxx  the same, then the samples are processed
//   10xxxxxx  a read that does not complete (x even) or cannot start (x odd)
//   11xxxxxx  buttons: single shot, auto mode on/off, window length, clear the store,
//             high resolution
// and eight further bytes after the header are formatted as a double directly.
#include <cmath>
#include <cstring>

#include "FuzzSupport.h"
#include "desktop/CommandLine.h"
#include "desktop/ExternalParameters.h"
#include "measurement/MeasData.h"
#include "measurement/SampleProcessing.h"
#include "measurement/ValueText.h"
#include "support/LinkParts.h"

namespace {

using vx::fuzz::Check;

// 2026-03-15 10:00:00.000 as a date-time.
constexpr double kStart = 46096.0 + 10.0 / 24.0;

class CountingHost final : public vx::ProcessingHost {
  public:
    explicit CountingHost(const vx::Settings& settings) : settings_(settings) {}
    void ConnectionLost() override {}
    void TypeText(const std::string&) override {}
    // Builds the command line as the window does.
    void StartExternalProgram(const std::string&, const vx::ExternalValues& values) override {
        vx::SplitArguments(vx::BuildExternalParameters(settings_.extParameter, values));
    }
    std::array<vx::ChartSeries*, vx::kSeriesCount> AutoRunSeries() override {
        std::array<vx::ChartSeries*, vx::kSeriesCount> fed{};
        for (size_t k = 0; k < fed.size(); ++k) {
            fed[k] = &series[k];
        }
        return fed;
    }
    void RescaleChartAxes() override {}

    std::array<vx::ChartSeries, vx::kSeriesCount> series = {
        vx::ChartSeries{"Value", {}, vx::SeriesKind::Points, vx::PointerShape::Default},
        vx::ChartSeries{"Min.", {}, vx::SeriesKind::Points, vx::PointerShape::Diamond},
        vx::ChartSeries{"Max.", {}, vx::SeriesKind::Points, vx::PointerShape::Diamond},
        vx::ChartSeries{"Min. averaged", {}, vx::SeriesKind::Points, vx::PointerShape::Circle},
        vx::ChartSeries{"Max. averaged", {}, vx::SeriesKind::Points, vx::PointerShape::Circle}};

  private:
    const vx::Settings& settings_;
};

// A sound instrument: calibrated value = raw value, linear through (0, 0) and (1000, 1000).
constexpr std::array<std::pair<std::string_view, std::string_view>, 19> kCalibration = {{
    {"#Z16", "23542.35"}, {"#Z17", "0"}, {"#Z18", "D"}, {"#Z61", "500"},  {"#Z62", "0"},
    {"#Z63", "0"},        {"#Z64", "0"}, {"#Z65", "0"}, {"#Z66", "1000"}, {"#Z67", "1000"},
    {"#Z68", "0"},        {"#Z69", "0"}, {"#Z70", "0"}, {"#Z71", "0"},    {"#Z72", "0"},
    {"#Z73", "0"},        {"#Z74", "2"}, {"#Z75", "N"}, {"#Z76", "S"},
}};

void Reply(vx::CommandProtocol& protocol, std::string_view code, std::string_view payload) {
    vx::Frame frame{};
    const size_t n = std::min(payload.size(), frame.size() - 6);
    std::copy(code.begin(), code.end(), frame.begin());
    std::copy_n(payload.begin(), n, frame.begin() + 4);
    frame[4 + n + 1] = vx::kEndOfFrame;
    protocol.DecodeReply(frame);
}

constexpr int32_t kWindowLengths[] = {1, 2, 3, 10, 100, 1000};

// The text of a finite value reads back as that value to within its resolution step.
void CheckFormatting(double x, double nominal, bool hiRes) {
    vx::ValueFormatter formatter(nominal, [] { return std::string_view("."); });
    formatter.hiRes = hiRes;
    const std::string text = formatter.FormatValue(x);
    if (!std::isfinite(x) || std::fabs(x) > 1e15) {
        return;
    }
    const auto back = vx::ParseValueText(text, ".");
    Check(back.has_value(), "a value text reads back", text);
    const double step = vx::ResolutionStep(nominal * 0.99, x);
    Check(std::fabs(*back - x) <= step, "a value text is within a step of its value", text);
}

void CheckState(const vx::TMeasData& meas, const CountingHost& host) {
    Check(meas.dataIndex >= -1 && meas.dataIndex < meas.dataListSize, "store index in range");
    Check(meas.ringRead >= 0 && meas.ringRead < vx::TMeasData::kRingSize && meas.ringWrite >= 0 &&
              meas.ringWrite < vx::TMeasData::kRingSize,
          "ring indexes in range");
    for (const vx::ChartSeries& s : host.series) {
        Check(s.Count() <= static_cast<size_t>(meas.dataListSize), "chart no larger than store");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::fuzz::Input in(data, size);
    vx::test::LinkParts link;
    link.protocol.BeginLink();
    vx::Settings settings;
    settings.localeFormat.shortDateFormat = "%d.%m.%Y";
    settings.localeFormat.longTimeFormat = "%H:%M:%S";
    settings.extParameter = "_Mean_ _Min_ '_Max_' _Date_ _Time_";

    const uint8_t setup = in.Byte();
    vx::TMeasData meas{kWindowLengths[setup % 6], link.protocol, link.usb, link.timers, {}, kStart};
    settings.useSelKeySingleShot = setup & 0x08;
    settings.WriteToKeyBuffer = setup & 0x10;
    settings.extProgramm = (setup & 0x20) ? "program" : "";
    settings.graficMode = (setup >> 6) % 3;
    const uint8_t shape = in.Byte();
    settings.DecimalSeparator = std::array{"", ".", ",", "\xE2\x82\xAC"}[shape % 4];
    // A short store wraps within the inputs the fuzzer makes.
    if (shape >> 2 != 0) {
        meas.dataListSize = shape >> 2;
    }
    settings.KeyDebounceTimeMs = in.Byte();

    for (const auto& [code, payload] : kCalibration) {
        Reply(link.protocol, code, payload);
    }
    for (int k = in.Byte() % 4; k > 0; --k) {
        const std::string_view code = kCalibration[in.Byte() % kCalibration.size()].first;
        Reply(link.protocol, code, in.Until('\0').substr(0, 26));
    }

    vx::ValueFormatter formatter{link.protocol.Parameters().nominalValue,
                                 [] { return std::string_view("."); }};
    CountingHost host(settings);
    vx::SampleProcessor processor{link.protocol, formatter, settings, host, link.messages};

    double x = 0.0;
    const std::string_view xBytes = in.Bytes(sizeof x);
    std::memcpy(&x, xBytes.data(), xBytes.size());
    CheckFormatting(x, link.protocol.Parameters().nominalValue, false);
    CheckFormatting(x, link.protocol.Parameters().nominalValue, true);

    while (!in.Empty()) {
        const uint8_t control = in.Byte();
        const uint8_t low = control & 0x3F;
        switch (control >> 6) {
            case 0:
            case 1: {
                const std::string_view packet = in.Bytes(low % 33);
                link.backend.QueueRead(vx::Pipe::R2, {packet.begin(), packet.end()});
                meas.FetchMeasBlock();
                if (control >> 6 == 1) {
                    processor.ProcessSamples(meas);
                }
                break;
            }
            case 2:
                link.backend.Queue(vx::Pipe::R2, {low % 2 ? vx::TransferOutcome::StartFailed
                                                          : vx::TransferOutcome::NotCompleted,
                                                  {}});
                meas.FetchMeasBlock();
                break;
            default:
                if (low & 0x01) {
                    meas.RequestSingleShot();
                }
                if (low & 0x02) {
                    meas.SetAutoMode(!meas.IsAutoMode());
                }
                if (low & 0x04) {
                    meas.SetSamplesPerValue(kWindowLengths[in.Byte() % 6]);
                }
                if (low & 0x08) {
                    meas.ClearDataIndex();
                    for (vx::ChartSeries& s : host.series) {
                        s.Clear();
                    }
                }
                if (low & 0x10) {
                    formatter.hiRes = !formatter.hiRes;
                }
                break;
        }
        CheckState(meas, host);
    }
    processor.ProcessSamples(meas);
    CheckState(meas, host);
    return 0;
}
