#pragma once

#include <string>

namespace vx {

// The values a hand-triggered data set hands to the external program.
struct ExternalValues {
    std::string min, max, minAvr, maxAvr, mean, time, date;
};

// Fills the parameter template: the first occurrence of each placeholder, together
// with the one character after it, becomes its value followed by one blank.
std::string BuildExternalParameters(const std::string& parameterTemplate,
                                    const ExternalValues& values);

}  // namespace vx
