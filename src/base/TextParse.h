#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vx {

// The text without leading and trailing white space: blanks, tabs, CR and every other
// control character.
std::string_view Trim(std::string_view text);

// A whole decimal number with an optional sign that fits 32 bits, and nothing else;
// nullopt otherwise ("0x10", "+-5", "", "1.5").
std::optional<int32_t> ParseWholeNumber(std::string_view text);

}  // namespace vx
