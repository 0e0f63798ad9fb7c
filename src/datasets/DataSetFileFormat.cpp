#include "datasets/DataSetFileFormat.h"

#include "base/TextEncoding.h"

namespace vx {

std::string FormatDataLine(const TMeasData& meas, int count, int index) {
    std::string line = std::to_string(count + 1);
    for (const std::string& field :
         {meas.GetDateText(index), meas.GetTimeText(index), meas.GetMsText(index)}) {
        line += '\t';
        line += field;
    }
    for (int k = 0; k < kSeriesCount; ++k) {
        line += '\t';
        line += meas.GetSeriesText(index, static_cast<SeriesRole>(k));
    }
    return line;
}

void BuildDataLines(std::vector<std::string>& lines,
                    const std::array<std::string, kTableColumns>& captions, int windowLengthMs,
                    const TMeasData* meas) {
    lines.clear();
    std::string header;
    for (const std::string& caption : captions) {
        header += caption;
        header += '\t';
    }
    header += "(" + std::to_string(windowLengthMs) + "ms)";
    lines.push_back(std::move(header));
    if (meas == nullptr) {
        return;
    }
    const std::vector<int32_t> order = meas->ChronologicalIndexes();
    lines.reserve(order.size() + 1);
    for (size_t count = 0; count < order.size(); ++count) {
        lines.push_back(FormatDataLine(*meas, static_cast<int>(count), order[count]));
    }
}

std::string EncodeDataLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += Utf8ToCp1252(line);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace vx
