#include "chart/AxisFormat.h"

#include <fmt/format.h>

#include <cmath>

namespace vx {
namespace {

// Tick positions carry rounding noise: "-0.000" must read "0.000".
std::string WithSign(bool negative, std::string digits) {
    const bool allZero = digits.find_first_of("123456789") == std::string::npos;
    return negative && !allZero ? "-" + digits : digits;
}

}  // namespace

std::string FormatGroupedValue(double value, char decimalSeparator, char groupSeparator) {
    if (!std::isfinite(value)) {
        return fmt::format("{}", value);
    }
    const std::string fixed = fmt::format("{:.3f}", std::fabs(value));
    const std::size_t point = fixed.find('.');
    const std::string whole = fixed.substr(0, point);
    std::string fraction = fixed.substr(point + 1);
    fraction.erase(fraction.find_last_not_of('0') + 1);

    std::string text;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) {
            text += groupSeparator;
        }
        text += whole[i];
    }
    if (!fraction.empty()) {
        text += decimalSeparator;
        text += fraction;
    }
    return WithSign(value < 0, text);
}

std::string FormatFixedValue(double value, int decimals, char decimalSeparator) {
    if (!std::isfinite(value)) {
        return fmt::format("{}", value);
    }
    std::string text = fmt::format("{:.{}f}", std::fabs(value), decimals);
    if (const std::size_t point = text.find('.'); point != std::string::npos) {
        text[point] = decimalSeparator;
    }
    return WithSign(value < 0, text);
}

}  // namespace vx
