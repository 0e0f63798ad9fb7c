#pragma once

#include <string>
#include <string_view>

namespace vx::test {

// The bytes of UTF-16 text behind its byte-order mark, as Windows editors write
// "Unicode" (little-endian) or "Unicode big endian".
inline std::string Utf16Bytes(std::u16string_view text, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

}  // namespace vx::test
