#pragma once

#include <cstdint>

namespace vx {

inline constexpr uint32_t kKeySymReturn = 0xFF0D;
inline constexpr uint32_t kKeySymTab = 0xFF09;

// The key symbol that types the character: printable Latin-1 characters are their own
// symbols, the rest have Unicode ones; carriage return and line feed give Return.
uint32_t KeySymOf(char32_t character);

}  // namespace vx
