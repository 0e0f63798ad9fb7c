#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vx {

// The text with every word (a run without blanks or line breaks, such as a file or
// program name) longer than `longest` characters shortened to its start and its end
// around "…", so that a message naming a huge path still fits on the screen. Counts
// and cuts whole UTF-8 characters.
std::string ShortenLongNames(std::string_view text, size_t longest = 120);

}  // namespace vx
