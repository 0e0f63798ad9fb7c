#pragma once

#include <string>

namespace vx {

// The values a hand-triggered data set hands to the external program.
struct ExternalValues {
    std::string min, max, minAvr, maxAvr, mean, time, date;
};

}  // namespace vx
