#include "measurement/ValueText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vx {

std::optional<double> ParseValueText(std::string_view text, std::string_view decimalSeparator) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    // The decimal separator may be longer than one byte; it becomes a '.'.
    std::string number;
    number.reserve(text.size());
    const bool localMark = !decimalSeparator.empty() && decimalSeparator != ".";
    for (size_t i = 0; i < text.size(); ++i) {
        if (localMark && text[i] == '.') {
            return std::nullopt;  // a '.' is no decimal mark in this locale
        }
        if (localMark && text.substr(i, decimalSeparator.size()) == decimalSeparator) {
            number += '.';
            i += decimalSeparator.size() - 1;
        } else {
            number += text[i];
        }
    }
    const char* begin = number.data();
    const char* end = begin + number.size();
    // A plus sign, as a hand-edited file may carry, is a number's sign too; a second
    // sign behind it is not.
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin == end || *begin == '+' || *begin == '-') {
            return std::nullopt;
        }
    }
    double value = 0.0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc{} || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace vx
