#pragma once

#include <string>
#include <string_view>

namespace vx {

// Windows-1252, the 8-bit code page of the instrument's texts and of data-set files.
std::string Cp1252ToUtf8(std::string_view bytes);

// Characters Windows-1252 cannot hold become '?'. Invalid UTF-8 bytes are taken as
// Windows-1252 bytes already.
std::string Utf8ToCp1252(std::string_view utf8);

bool IsValidUtf8(std::string_view bytes);

}  // namespace vx
