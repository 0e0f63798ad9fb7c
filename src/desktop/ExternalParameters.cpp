#include "desktop/ExternalParameters.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vx {

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
        text.replace(at, std::min(name.size() + 1, text.size() - at), *value + " ");
    }
    return text;
}

}  // namespace vx
