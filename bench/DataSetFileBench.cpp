// Saving and loading a full store of 10240 data sets. Goals: save under 20 ms, load
// with all five series ticked under 50 ms.
#include <benchmark/benchmark.h>

#include <fmt/format.h>

#include <filesystem>

#include "base/ManualTimer.h"
#include "datasets/DataSetFileFormat.h"
#include "datasets/DataSetFileReader.h"
#include "datasets/DataSetFileSave.h"
#include "device/CommandProtocol.h"
#include "device/SimulatedInstrument.h"

#include "NullSeams.h"

namespace vx {
namespace {

using namespace vx::bench;

// A full, wrapped store of typical data sets.
struct FullStore : BenchLink {
    FullStore() {
        for (int i = 0; i < meas.GetDataListSize(); ++i) {
            const std::string v = " " + std::to_string(100 + i % 400) + ",25";
            const int position = (i + 5240) % 10240;  // oldest first after the wrap
            const int s = position / 10;
            const std::string time =
                fmt::format("{:02d}:{:02d}:{:02d}", 10 + s / 3600, s / 60 % 60, s % 60);
            meas.dataList[i] = {
                v, v, v, v, v, "1", time, "10.12.2026", fmt::format("{:03d}", position % 10 * 100),
                0};
        }
        meas.dataIndex = 4999;
        meas.dataWrapped = true;
    }
    TMeasData meas{100, protocol, usb, timers};
    DataSetRows rows;
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "vx212-bench-datasets.txt";
};

void SaveFullStore(benchmark::State& state) {
    FullStore store;
    for (auto _ : state) {
        std::vector<std::string> lines;
        BuildDataLines(lines, store.rows.Captions(), 100, &store.meas);
        if (SaveDataLines(store.path.string(), lines)) {
            state.SkipWithError("save failed");
        }
    }
    std::filesystem::remove(store.path);
}
BENCHMARK(SaveFullStore)->Unit(benchmark::kMillisecond);

void LoadFullStore(benchmark::State& state) {
    FullStore store;
    std::vector<std::string> lines;
    BuildDataLines(lines, store.rows.Captions(), 100, &store.meas);
    SaveDataLines(store.path.string(), lines);
    LocaleFormat locale;
    locale.shortDateFormat = "%d.%m.%Y";
    for (auto _ : state) {
        state.PauseTiming();
        ChartModel chart;
        chart.InitSeriesType(modeTime);
        DataSetRows rows;
        store.meas.ClearDataIndex();
        bool loaded = false;
        state.ResumeTiming();
        LoadDataSetFile(store.path.string(), {rows, chart, &store.meas, loaded},
                        {modeTime, {true, true, true, true, true}, locale, ","});
        benchmark::DoNotOptimize(rows.Count());
    }
    std::filesystem::remove(store.path);
}
BENCHMARK(LoadFullStore)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vx
