#include "measurement/KeySyms.h"

namespace vx {

std::vector<char32_t> DecodeUtf8(const std::string& text) {
    std::vector<char32_t> points;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80         ? 1
                           : (lead >> 5) == 6  ? 2
                           : (lead >> 4) == 14 ? 3
                           : (lead >> 3) == 30 ? 4
                                               : 0;
        if (length == 0 || i + length > text.size()) {
            ++i;
            continue;
        }
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = valid && (next >> 6) == 2;
            point = (point << 6) | (next & 0x3F);
        }
        if (valid) {
            points.push_back(point);
        }
        i += valid ? length : 1;
    }
    return points;
}

uint32_t KeySymOf(char32_t character) {
    if (character == '\r' || character == '\n') {
        return kKeySymReturn;
    }
    if (character == '\t') {
        return kKeySymTab;
    }
    if ((character >= 0x20 && character <= 0x7E) || (character >= 0xA0 && character <= 0xFF)) {
        return character;
    }
    return 0x01000000 | character;
}

}  // namespace vx
