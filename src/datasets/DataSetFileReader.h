#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "base/LocaleFormat.h"
#include "chart/ChartModel.h"
#include "datasets/DataSetRows.h"
#include "datasets/FileMessage.h"
#include "measurement/MeasData.h"

namespace vx {

// What a load fills: the window's own objects, which `clear` empties once the file
// has opened and is known to be a data-set file.
struct DataSetLoadTargets {
    DataSetRows& rows;
    // Points go only into series that exist; with none the chart is left alone.
    ChartModel& chart;
    // Null when there is no measurement object: the table alone is filled.
    TMeasData* meas;
    // Set by every pass over a data line, also by one that fails.
    bool& loadedDataShown;
    // Runs before anything is read into the targets; a file refused before that
    // leaves them as they were.
    std::function<void()> clear = {};
};

// The window's state that decides the chart points, taken at the start of the load
// (the window does not react to input while it reads).
struct DataSetLoadOptions {
    int graficMode = modeNumber;
    // Which display check boxes are ticked, in series order.
    std::array<bool, kSeriesCount> shownSeries{};
    // The formats that wrote the date and time texts.
    LocaleFormat locale;
    // The process's decimal separator: the value texts are converted with it.
    std::string decimalSeparator = ".";
};

// Reads the data-set file at `path` (UTF-8, as the dialog returned it; the file's
// bytes are Windows-1252) into the table, the store and the chart: the captions from
// the header, one row per data line plus the empty row of the final line end, the
// data sets at store indexes 0, 1, ... in the order of the rows (the numbers in the
// file may have gaps), and the points of the ticked series.
//
// nullopt: the file was read to its end. Otherwise the message to show, and the load
// ended there: "File not found" / "ERROR" (also for anything but a regular file,
// which is opened without waiting), "unknown file format" / "Error", a file that
// cannot be read, or a line beyond the reader's limits (a word of 1000 or more
// characters, a date or time field of 49 or more, more data lines than the store
// holds).
// Throws ProgramError naming the text when a number, value, date and time or ms
// text does not convert. In every case what was read before stays.
std::optional<FileMessage> LoadDataSetFile(const std::string& path,
                                           const DataSetLoadTargets& targets,
                                           const DataSetLoadOptions& options);

}  // namespace vx
