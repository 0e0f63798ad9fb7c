// Sample processing on a full ring against the bare calibration arithmetic on the
// same samples: how much the windows, texts and recording add per sample.
#include <benchmark/benchmark.h>

#include <chrono>

#include "base/ManualTimer.h"
#include "device/SimulatedInstrument.h"
#include "measurement/SampleProcessing.h"

#include "NullSeams.h"

namespace vx {
namespace {

using namespace vx::bench;

class NullHost final : public ProcessingHost {
  public:
    void ConnectionLost() override {}
    void TypeText(const std::string&) override {}
    void StartExternalProgram(const std::string&, const ExternalValues&) override {}
    std::array<ChartSeries*, kSeriesCount> AutoRunSeries() override { return {&series, nullptr}; }
    void RescaleChartAxes() override {}
    ChartSeries series{"Value", {}, SeriesKind::Points, PointerShape::Default};
};
// The simulated instrument's identity, decoded as at start-up.
struct Bench : BenchLink {
    Bench() {
        for (const auto& [code, payload] : SimulatedInstrument::DefaultIdentity().replies) {
            Frame frame{};
            const std::string text = (code + payload).substr(0, 30);
            std::copy(text.begin(), text.end(), frame.begin());
            frame[text.size() + 1] = 0xA7;
            protocol.ApplyReply(*CommandProtocol::DecodeFrame(frame));
        }
        settings.localeFormat.shortDateFormat = "%d.%m.%Y";
        const auto profile = SimulatedInstrument::PushTestProfile();
        for (int i = 0; i < 999; ++i) {
            samples[i] = {'0', profile(i * 7)};
        }
    }
    void FillRing(TMeasData& meas) {
        meas.ringRead = 0;
        meas.ringWrite = 999;
        std::copy(samples.begin(), samples.end(), meas.ring.begin());
    }

    Settings settings;
    ValueFormatter formatter{protocol.Parameters().nominalValue};
    NullHost host;
    SampleProcessor processor{protocol, formatter, settings, host, messages};
    std::array<MeasSample, 999> samples{};
};

// The calibration and linearisation of every ring sample, nothing else.
double CalibrateAll(const Bench& bench) {
    const DeviceParameters& p = bench.protocol.Parameters();
    double sum = 0;
    for (const MeasSample& s : bench.samples) {
        double v = 0;
        SampleProcessor::Linearise(p, SampleProcessor::Calibrate(p, s.raw), v);
        sum += v;
    }
    return sum;
}

// Seconds per ring of the bare arithmetic, for the ratio printed beside each run.
double BareSecondsPerRing(const Bench& bench) {
    constexpr int kRounds = 20000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i) {
        benchmark::DoNotOptimize(CalibrateAll(bench));
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
           kRounds;
}

void ProcessFullRing(benchmark::State& state) {
    Bench bench;
    TMeasData meas{static_cast<int32_t>(state.range(0)), bench.protocol, bench.usb, bench.timers};
    meas.SetAutoMode(state.range(1) != 0);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        bench.FillRing(meas);
        if (meas.GetDataIndex() > 10000) {
            meas.ClearDataIndex();  // keep the store from wrapping into chart replacement
            bench.host.series.Clear();
        }
        bench.processor.ProcessSamples(meas);
    }
    state.SetItemsProcessed(state.iterations() * 999);
    const double perRing =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
        static_cast<double>(state.iterations());
    state.counters["times_bare"] = perRing / BareSecondsPerRing(bench);
}
BENCHMARK(ProcessFullRing)
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({1, 1})
    ->ArgNames({"window", "auto"});

void CalibrationOnly(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalibrateAll(bench));
    }
    state.SetItemsProcessed(state.iterations() * 999);
}
BENCHMARK(CalibrationOnly);

}  // namespace
}  // namespace vx
