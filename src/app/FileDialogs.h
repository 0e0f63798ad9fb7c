#pragma once

#include <optional>
#include <string>

namespace vx {

// The save and open dialogs of the data-set files. Each opens with the name given
// (the one last chosen in it, empty at first) and returns the chosen name as UTF-8,
// or nullopt when the user cancels.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    virtual std::optional<std::string> AskSaveName(const std::string& lastName) = 0;
    virtual std::optional<std::string> AskOpenName(const std::string& lastName) = 0;
};

}  // namespace vx
