#include "base/TextEncoding.h"

#include <array>
#include <cstdint>

namespace vx {

namespace {

// 0x80..0x9F; the five unassigned bytes map to the C1 control of the same value,
// as Windows does, so that every byte survives a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char EncodeCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (size_t k = 0; k < kHighControls.size(); ++k) {
        if (kHighControls[k] == c) {
            return static_cast<char>(0x80 + k);
        }
    }
    return '?';
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

size_t DecodeUtf8(std::string_view bytes, size_t i, char32_t& c) {
    const auto b0 = static_cast<uint8_t>(bytes[i]);
    size_t length = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2, c = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, c = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, c = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        const auto b = static_cast<uint8_t>(bytes[i + k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return length;
}

std::u32string Utf8CodePoints(std::string_view text) {
    std::u32string points;
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const size_t length = DecodeUtf8(text, i, c);
        if (length == 0) {
            ++i;
            continue;
        }
        points += c;
        i += length;
    }
    return points;
}

std::string CodePointsToUtf8(std::u32string_view points) {
    std::string out;
    out.reserve(points.size());
    for (const char32_t c : points) {
        AppendUtf8(out, c);
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<uint8_t>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t{b});
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const size_t length = DecodeUtf8(utf8, i, c);
        if (length == 0) {
            out += utf8[i++];
            continue;
        }
        out += EncodeCp1252(c);
        i += length;
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const size_t length = DecodeUtf8(bytes, i, c);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace vx
