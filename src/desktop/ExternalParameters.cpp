#include "desktop/ExternalParameters.h"

#include <array>
#include <utility>

namespace vx {

namespace {

// Bytes of the UTF-8 character at `at`: a lead byte and its continuation bytes, so
// that a separator such as "€" goes as a whole; 0 at the end of the text.
size_t CharacterLength(const std::string& text, size_t at) {
    if (at >= text.size()) {
        return 0;
    }
    size_t length = 1;
    while (at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

}  // namespace

std::string BuildExternalParameters(const std::string& parameterTemplate,
                                    const ExternalValues& values) {
    const std::array<std::pair<const char*, const std::string*>, 7> placeholders = {{
        {"_Min_", &values.min},
        {"_Max_", &values.max},
        {"_MinAvr_", &values.minAvr},
        {"_MaxAvr_", &values.maxAvr},
        {"_Mean_", &values.mean},
        {"_Time_", &values.time},
        {"_Date_", &values.date},
    }};
    std::string text = parameterTemplate;
    for (const auto& [placeholder, value] : placeholders) {
        const std::string name = placeholder;
        const size_t at = text.find(name);
        if (at == std::string::npos) {
            continue;
        }
        const size_t next = at + name.size();
        text.replace(at, name.size() + CharacterLength(text, next), *value + " ");
    }
    return text;
}

}  // namespace vx
