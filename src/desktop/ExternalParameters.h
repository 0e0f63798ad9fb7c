#pragma once

#include <string>

#include "measurement/ExternalValues.h"

namespace vx {

// Fills the parameter template: the first occurrence of each placeholder, together
// with the one character after it, becomes its value followed by one blank.
std::string BuildExternalParameters(const std::string& parameterTemplate,
                                    const ExternalValues& values);

}  // namespace vx
