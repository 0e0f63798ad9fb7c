#include "base/TextFileDecoding.h"

#include <cstdint>

#include "base/TextEncoding.h"

namespace vx {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

std::optional<std::string> DecodeUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    const auto unit = [&](size_t i) {
        const auto first = static_cast<uint8_t>(bytes[i]);
        const auto second = static_cast<uint8_t>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    std::u32string points;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const char32_t c = unit(i);
        if (c >= 0xDC00 && c <= 0xDFFF) {
            return std::nullopt;
        }
        if (c < 0xD800 || c > 0xDBFF) {
            points += c;
            continue;
        }
        if (i + 2 >= bytes.size()) {
            return std::nullopt;
        }
        const char32_t low = unit(i + 2);
        if (low < 0xDC00 || low > 0xDFFF) {
            return std::nullopt;
        }
        points += 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
    }
    return CodePointsToUtf8(points);
}

// Line by line: one Windows-1252 line must not turn the UTF-8 lines into mojibake.
std::string DecodeLines(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        const std::string_view line =
            bytes.substr(0, end == std::string_view::npos ? bytes.size() : end + 1);
        text += IsValidUtf8(line) ? std::string(line) : Cp1252ToUtf8(line);
        bytes.remove_prefix(line.size());
    }
    return text;
}

}  // namespace

std::optional<std::string> DecodeTextFile(std::string_view bytes, std::string& whyNot) {
    std::optional<std::string> text;
    if (bytes.starts_with(kUtf16LittleEndianMark) || bytes.starts_with(kUtf16BigEndianMark)) {
        text = DecodeUtf16(bytes.substr(2), bytes.starts_with(kUtf16BigEndianMark));
        if (!text) {
            whyNot = "it is not valid UTF-16 text";
            return std::nullopt;
        }
    } else {
        if (bytes.starts_with(kUtf8Mark)) {
            bytes.remove_prefix(kUtf8Mark.size());
        }
        text = DecodeLines(bytes);
    }
    if (text->find('\0') != std::string::npos) {
        whyNot = "it holds zero bytes and is no text (UTF-16 needs its byte-order mark)";
        return std::nullopt;
    }
    return text;
}

}  // namespace vx
