#pragma once

#include <string>

namespace vx {

// The left axis labels: thousands grouped, up to three decimals, no trailing zeros
// ("#,##0.###" written with the given separators).
std::string FormatGroupedValue(double value, char decimalSeparator, char groupSeparator);

// The bottom axis labels: exactly `decimals` decimals ("0" or "0.000").
std::string FormatFixedValue(double value, int decimals, char decimalSeparator);

// The grouping character that goes with a decimal separator.
inline char GroupSeparatorFor(char decimalSeparator) {
    return decimalSeparator == ',' ? '.' : ',';
}

}  // namespace vx
