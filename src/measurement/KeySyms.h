#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx {

inline constexpr uint32_t kKeySymReturn = 0xFF0D;
inline constexpr uint32_t kKeySymTab = 0xFF09;

// Code points of UTF-8 text; a malformed byte is dropped.
std::vector<char32_t> DecodeUtf8(const std::string& text);

// The key symbol that types the character: printable Latin-1 characters are their own
// symbols, the rest have Unicode ones; carriage return and line feed give Return.
uint32_t KeySymOf(char32_t character);

}  // namespace vx
