#pragma once

#include <string>

namespace vx {

// A message box the window shows after a file action: its text and caption.
struct FileMessage {
    std::string text;
    std::string caption;
    bool operator==(const FileMessage&) const = default;
};

}  // namespace vx
