#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace vx {

// One reply as the command thread decoded it, on its way to the user-interface
// thread, which alone stores it into the device parameters.
struct DecodedReply {
    uint8_t row = 0;  // index into the reply table, which says where the value goes
    std::variant<double, int32_t, uint8_t, std::string> value;
};

}  // namespace vx
