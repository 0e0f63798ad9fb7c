#pragma once

#include <string>

namespace vx {

class TForm1;

// Names the file for the start-up report; unset in normal use.
inline constexpr const char* kStartupReportVariable = "SOFTWAREVX212_STARTUP_REPORT";

// Writes what the window shows once its start-up has run: "caption=" the window
// caption, "status=" the status line, and "language=" once per entry of the language
// list. The package check reads it from an installed program that has no screen.
// False when the file cannot be written.
bool WriteStartupReport(const TForm1& window, const std::string& path);

}  // namespace vx
