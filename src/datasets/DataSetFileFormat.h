#pragma once

#include <array>
#include <string>
#include <vector>

#include "datasets/DataSetRows.h"
#include "measurement/MeasData.h"

namespace vx {

// The data-set file's text: a header line of the table's captions and the window
// length, then one line per stored data set, fields joined by TAB. Texts are UTF-8
// here; EncodeDataLines makes the file's bytes.

// The line of the data set at store index `index`, numbered count + 1.
std::string FormatDataLine(const TMeasData& meas, int count, int index);

// Empties `lines`, then adds the header and the data lines, oldest data set first.
// Without a measurement object there is only the header.
void BuildDataLines(std::vector<std::string>& lines,
                    const std::array<std::string, kTableColumns>& captions, int windowLengthMs,
                    const TMeasData* meas);

// Windows-1252 without byte-order mark, CR LF after every line; a character that
// Windows-1252 cannot hold becomes '?'.
std::string EncodeDataLines(const std::vector<std::string>& lines);

}  // namespace vx
