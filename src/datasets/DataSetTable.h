#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "base/MessageSink.h"
#include "chart/ChartModel.h"
#include "datasets/DataSetRows.h"
#include "measurement/MeasData.h"

namespace vx {

// Lists recorded data sets: one table row per data set, and its values as chart
// points in the series whose check boxes are ticked at that moment.
class DataSetTable {
  public:
    // shownSeries tells, in series order, which display check boxes are ticked.
    DataSetTable(DataSetRows& rows, ChartModel& chart, MessageSink& messages,
                 std::function<std::array<bool, kSeriesCount>()> shownSeries);

    // Appends the row of record recordIndex numbered rowNumber + 1, and its points.
    void AddDataLine(const TMeasData& meas, int rowNumber, int recordIndex, int graficMode);
    void AddBlankLine();
    // Column captions and axis titles for the instrument's unit.
    void BuildHeader(const std::string& unitText, int graficMode);

    // Rows added between these two reach the view in one piece.
    void BeginBatch();
    void EndBatch();

    // Time stamp of the data set in row 0: the time axis counts seconds from it.
    double baseTime = 0.0;

  private:
    void Append(TableRow row);

    DataSetRows& rows_;
    ChartModel& chart_;
    MessageSink& messages_;
    std::function<std::array<bool, kSeriesCount>()> shownSeries_;
    bool batching_ = false;
    std::vector<TableRow> batch_;
};

}  // namespace vx
