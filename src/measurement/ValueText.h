#pragma once

#include <optional>
#include <string_view>

namespace vx {

// A value text as the formatter made it, read back as a number for a chart point:
// blanks around it are skipped and the given decimal separator is the decimal mark.
// nullopt when the rest is not a number.
std::optional<double> ParseValueText(std::string_view text, std::string_view decimalSeparator);

}  // namespace vx
