#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vx {

// Starts a program without waiting for it: 0 when it started, else the error number.
using DetachedStart = std::function<int(const std::vector<std::string>&)>;

// Starts the spreadsheet program, for pasting the clipboard into: LibreOffice Calc
// under either of its names. When neither starts, nothing is said.
void StartSpreadsheet(const DetachedStart& startDetached);

}  // namespace vx
