#include "datasets/DataSetTable.h"

#include "chart/DisplayModes.h"
#include "measurement/ValueFormat.h"
#include "measurement/ValueText.h"

namespace vx {

DataSetTable::DataSetTable(DataSetRows& rows, ChartModel& chart, MessageSink& messages,
                           std::function<std::array<bool, kSeriesCount>()> shownSeries)
    : rows_(rows), chart_(chart), messages_(messages), shownSeries_(std::move(shownSeries)) {}

void DataSetTable::AddDataLine(const TMeasData& meas, int n, int a, int graficMode) {
    if (a >= meas.GetDataListSize() || a < 0) {
        messages_.Show("Index Error in AddDataLine()", "Error");
        a = 0;
    }
    const auto text = [&](SeriesRole role) -> const std::string& {
        return meas.GetSeriesText(a, role);
    };
    Append({std::to_string(n + 1), meas.GetDateText(a), meas.GetTimeText(a), meas.GetMsText(a),
            text(SeriesValue), text(SeriesMin), text(SeriesMax), text(SeriesMinAvr),
            text(SeriesMaxAvr)});

    const double t = meas.GetTimeStamp(a);
    if (n == 0) {
        baseTime = t;
    }
    const double x = IsNumberAxis(graficMode) ? n + 1 : (t - baseTime) * 86400.0;
    const std::array<bool, kSeriesCount> shown = shownSeries_();
    const std::string_view separator = ProcessDecimalSeparator();
    for (int k = 0; k < kSeriesCount; ++k) {
        // A text that is no number (an empty record) gets no point.
        if (!shown[k]) {
            continue;
        }
        if (const auto y = ParseValueText(text(static_cast<SeriesRole>(k)), separator)) {
            chart_.AddPoint(static_cast<SeriesRole>(k), x, *y);
        }
    }
}

void DataSetTable::AddBlankLine() {
    Append({});
}

void DataSetTable::BuildHeader(const std::string& unitText, int graficMode) {
    const std::string valueHeading = "[Value] = " + unitText;
    chart_.SetLeftAxisTitle(valueHeading);
    chart_.SetBottomAxis(BottomAxisFor(graficMode));
    rows_.SetCaptions(3, {"[Diff] = ms", valueHeading, "[Min] = " + unitText, "[Max] = " + unitText,
                          "[MinFilt] = " + unitText, "[MaxFilt] = " + unitText});
}

void DataSetTable::BeginBatch() {
    batching_ = true;
}

void DataSetTable::EndBatch() {
    batching_ = false;
    rows_.AppendAll(std::move(batch_));
    batch_.clear();
}

void DataSetTable::Append(TableRow row) {
    if (batching_) {
        batch_.push_back(std::move(row));
    } else {
        rows_.Append(std::move(row));
    }
}

}  // namespace vx
