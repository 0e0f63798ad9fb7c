// Any bytes through the text encodings. Properties: UTF-8 validity agrees with the
// table of well-formed byte sequences; decoding valid UTF-8 and encoding it again
// gives the same bytes; every byte survives Windows-1252 -> UTF-8 -> Windows-1252;
// UTF-8 -> Windows-1252 -> UTF-8 keeps every character Windows-1252 has and turns the
// others into '?'.
#include <string>

#include "FuzzSupport.h"
#include "base/TextEncoding.h"

namespace {

using vx::fuzz::Check;

// Well-formed UTF-8 by the table of the Unicode standard (section 3.9): the allowed
// range of each byte of a sequence, decided by its first byte.
bool WellFormedUtf8(std::string_view text) {
    const auto b = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    for (size_t i = 0; i < text.size();) {
        const uint8_t b0 = b(i);
        size_t length = 0;
        uint8_t low = 0x80, high = 0xBF;  // range of the second byte
        if (b0 <= 0x7F) {
            ++i;
            continue;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            length = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            length = 3;
            low = b0 == 0xE0 ? 0xA0 : 0x80;
            high = b0 == 0xED ? 0x9F : 0xBF;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4;
            low = b0 == 0xF0 ? 0x90 : 0x80;
            high = b0 == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > text.size() || b(i + 1) < low || b(i + 1) > high) {
            return false;
        }
        for (size_t k = 2; k < length; ++k) {
            if (b(i + k) < 0x80 || b(i + k) > 0xBF) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

std::string EncodeUtf8(std::u32string_view points) {
    std::string out;
    for (const char32_t c : points) {
        vx::AppendUtf8(out, c);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const bool valid = vx::IsValidUtf8(bytes);
    Check(valid == WellFormedUtf8(bytes), "UTF-8 validity as the standard's table says");

    const std::u32string points = vx::Utf8CodePoints(bytes);
    if (valid) {
        Check(EncodeUtf8(points) == bytes, "valid UTF-8 decodes and encodes to itself");
    }

    const std::string fromCp1252 = vx::Cp1252ToUtf8(bytes);
    Check(vx::IsValidUtf8(fromCp1252), "Windows-1252 becomes valid UTF-8");
    Check(vx::Utf8ToCp1252(fromCp1252) == bytes, "every Windows-1252 byte survives a round trip");

    // Each character on its own: kept when Windows-1252 has it, '?' when not.
    const std::u32string back =
        vx::Utf8CodePoints(vx::Cp1252ToUtf8(vx::Utf8ToCp1252(EncodeUtf8(points))));
    Check(back.size() == points.size(), "one character for each character");
    for (size_t k = 0; k < points.size(); ++k) {
        const char32_t c = points[k];
        const std::string utf8 = EncodeUtf8(std::u32string(1, c));
        const std::string one = vx::Utf8ToCp1252(utf8);
        Check(one.size() == 1, "one byte for each character");
        const bool held = one != "?" || c == U'?';
        Check(held || (c > 0x7F && (c < 0xA0 || c > 0xFF)), "Latin-1 characters are held");
        Check(!held || c <= 0xFFFF, "no character beyond the basic plane is held");
        Check(!held || vx::Cp1252ToUtf8(one) == utf8, "a held character survives a round trip");
        Check(back[k] == (held ? c : U'?'), "a character Windows-1252 lacks becomes '?'");
    }
    if (!valid) {
        Check(vx::Utf8ToCp1252(bytes).size() <= bytes.size(), "invalid bytes pass as they are");
    }
    return 0;
}
