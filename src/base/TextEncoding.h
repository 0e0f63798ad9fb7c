#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vx {

// Windows-1252, the 8-bit code page of the instrument's texts and of data-set files.
std::string Cp1252ToUtf8(std::string_view bytes);

// Characters Windows-1252 cannot hold become '?'. Invalid UTF-8 bytes are taken as
// Windows-1252 bytes already.
std::string Utf8ToCp1252(std::string_view utf8);

bool IsValidUtf8(std::string_view bytes);

// Decodes the UTF-8 sequence that starts at bytes[i] into c; returns its length, or 0
// when it is not a valid sequence (overlong forms and surrogates included).
size_t DecodeUtf8(std::string_view bytes, size_t i, char32_t& c);

// Appends the code point c in UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// The code points of UTF-8 text; a byte that starts no valid sequence is dropped.
std::u32string Utf8CodePoints(std::string_view text);

// UTF-8 of code points that are valid (no surrogates, at most 0x10FFFF).
std::string CodePointsToUtf8(std::u32string_view points);

}  // namespace vx
