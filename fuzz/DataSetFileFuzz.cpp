// Feeds arbitrary bytes to the data-set file reader, then writes what it read.
// The first byte picks the display mode and the ticked series; the rest is the file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/ProgramError.h"
#include "datasets/DataSetFileFixture.h"
#include "datasets/DataSetFileFormat.h"
#include "datasets/DataSetFileReader.h"

namespace {

struct Harness {
    Harness() : fd(memfd_create("datafile", 0)), path("/proc/self/fd/" + std::to_string(fd)) {
        if (fd < 0) {
            std::abort();
        }
    }
    vx::test::MeasFixture m;
    int fd;
    std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Harness h;
    if (size == 0) {
        return 0;
    }
    const uint8_t choice = data[0];
    if (ftruncate(h.fd, 0) != 0 ||
        pwrite(h.fd, data + 1, size - 1, 0) != static_cast<ssize_t>(size - 1)) {
        std::abort();
    }

    vx::DataSetLoadOptions options;
    options.graficMode = choice % 3;
    for (int k = 0; k < vx::kSeriesCount; ++k) {
        options.shownSeries[k] = (choice >> (k + 2)) & 1;
    }
    options.locale = {"%d.%m.%Y", "%H:%M:%S", ",", nullptr};
    options.decimalSeparator = (choice & 0x80) ? "," : ".";

    vx::DataSetRows rows;
    vx::ChartModel chart;
    chart.InitSeriesType(options.graficMode);
    bool shown = false;
    h.m.meas.ClearDataIndex();
    try {
        vx::LoadDataSetFile(h.path, {rows, chart, &h.m.meas, shown}, options);
    } catch (const vx::ProgramError&) {
    }
    if (h.m.meas.GetDataIndex() >= h.m.meas.GetDataListSize()) {
        std::abort();
    }
    std::vector<std::string> lines;
    vx::BuildDataLines(lines, rows.Captions(), 100, &h.m.meas);
    vx::EncodeDataLines(lines);
    return 0;
}
