// Listing a full store after an automatic run: 10240 table rows and their points in
// the five series, in the real window (offscreen). Goal: under 100 ms.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>

#include "app/TForm1.h"
#include "base/ManualTimer.h"
#include "device/SimulatedInstrument.h"

#include "NullSeams.h"

namespace vx {
namespace {

using namespace vx::bench;

void RebuildFullStore(benchmark::State& state) {
    SimulatedInstrument usb;
    usb.SetAbsent(true);  // no instrument: the store exists, the poll is driven by hand
    NullMessages messages;
    ManualTimerFactory timers;
    Settings settings;
    SystemFolders folders;
    NullKeyboard keyboard;
    NullLauncher launcher;
    CancelledDialogs dialogs;
    TForm1 form({usb, messages, timers, settings, folders, keyboard, launcher, dialogs});
    form.show();
    form.FormShow();
    for (QCheckBox* box : {form.CheckBPeak1msLo, form.CheckBPeak1msUp, form.CheckBoxMean,
                           form.CheckBPeakfilteredDn, form.CheckBPeakfilteredUp}) {
        box->setChecked(true);
    }
    TMeasData& meas = *form.Link().MeasData();
    for (int i = 0; i < meas.GetDataListSize(); ++i) {
        const std::string v = " " + std::to_string(i % 500) + ".25";
        meas.dataList[i] = {v, v, v, v, v, "1", "10:00:00", "10.12.26", "000", 46000 + i * 1e-5};
    }
    for (auto _ : state) {
        state.PauseTiming();
        form.ClrAllClick();
        meas.dataIndex = 99;
        meas.dataWrapped = true;
        form.tableStale = true;
        QApplication::processEvents();
        state.ResumeTiming();
        form.TimerGetMeasTimer();
        QApplication::processEvents();  // the one redraw of table and chart
    }
}
BENCHMARK(RebuildFullStore)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vx

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const auto home = std::filesystem::temp_directory_path() / "vx212-rebuild-bench";
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    // Started outside its install folder the window keeps settings in the working
    // directory: make that the scratch folder too.
    std::filesystem::create_directories(home);
    std::filesystem::current_path(home);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(home);
}
