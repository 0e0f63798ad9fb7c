#include "base/ShortenedNames.h"

#include "base/TextEncoding.h"

namespace vx {

namespace {

constexpr std::u32string_view kBlanks = U" \t\r\n";
constexpr std::u32string_view kEllipsis = U"…";

}  // namespace

std::string ShortenLongNames(std::string_view text, size_t longest) {
    const std::u32string points = Utf8CodePoints(text);
    std::u32string shortened;
    shortened.reserve(points.size());
    const size_t kept = (longest - kEllipsis.size()) / 2;
    for (size_t start = 0; start < points.size();) {
        size_t end = points.find_first_of(kBlanks, start);
        if (end == start) {
            shortened += points[start++];
            continue;
        }
        end = end == std::u32string::npos ? points.size() : end;
        const std::u32string_view word = std::u32string_view(points).substr(start, end - start);
        if (word.size() > longest) {
            shortened.append(word.substr(0, kept))
                .append(kEllipsis)
                .append(word.substr(word.size() - kept));
        } else {
            shortened.append(word);
        }
        start = end;
    }
    return CodePointsToUtf8(shortened);
}

}  // namespace vx
