#pragma once

#include <string>
#include <vector>

namespace vx {

// Splits a parameter text into arguments as a POSIX shell would, without expanding
// anything: blanks separate, single quotes keep everything, double quotes keep all but
// a backslash before \ " $ or `, a backslash outside quotes keeps the next character.
// An unclosed quote runs to the end of the text.
std::vector<std::string> SplitArguments(const std::string& text);

}  // namespace vx
