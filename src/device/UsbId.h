#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vx {

// A vendor and product id that names the instrument when it offers no OS 2.0
// descriptors; the user writes it by hand as "VVVV:PPPP" in hexadecimal.
struct UsbId {
    uint16_t vendor = 0;
    uint16_t product = 0;
    bool operator==(const UsbId&) const = default;
};

// Exactly four hex digits, a colon and four hex digits, blanks around allowed;
// anything else is no id at all.
std::optional<UsbId> ParseUsbId(std::string_view text);

}  // namespace vx
