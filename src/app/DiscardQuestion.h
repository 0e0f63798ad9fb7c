#pragma once

#include <string>

namespace vx {

// The user's answer when data sets that have not been saved would be discarded.
enum class DiscardAnswer { Save, Discard, Cancel };

// Asks the question in a box with Yes (save them first), No (discard) and Cancel;
// closing the box cancels. Waits for the answer.
DiscardAnswer AskBeforeDiscardBox(const std::string& question);

}  // namespace vx
