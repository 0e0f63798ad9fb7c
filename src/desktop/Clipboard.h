#pragma once

#include <string>

namespace vx {

// The system clipboard as the data-set export uses it.
class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's contents with the UTF-8 text.
    virtual void SetText(const std::string& text) = 0;
};

// The desktop's clipboard, through Qt; needs the application object when used.
Clipboard& SystemClipboard();

}  // namespace vx
