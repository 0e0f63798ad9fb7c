#include "device/UsbId.h"

#include <charconv>

namespace vx {

namespace {

std::optional<uint16_t> ParseHex4(std::string_view digits) {
    if (digits.size() != 4) {
        return std::nullopt;
    }
    uint16_t value = 0;
    const auto [end, error] = std::from_chars(digits.begin(), digits.end(), value, 16);
    if (error != std::errc() || end != digits.end()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<UsbId> ParseUsbId(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (text.size() != 9 || text[4] != ':') {
        return std::nullopt;
    }
    const auto vendor = ParseHex4(text.substr(0, 4));
    const auto product = ParseHex4(text.substr(5, 4));
    if (!vendor || !product) {
        return std::nullopt;
    }
    return UsbId{*vendor, *product};
}

}  // namespace vx
