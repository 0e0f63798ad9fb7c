#pragma once

#include <functional>
#include <string>

namespace vx {

enum class MessageIcon { None, Critical };

// Where the program's message boxes go: the window shows them, tests record them.
// Show() may be called from any thread and never blocks the caller; the box belongs
// to the user-interface thread. onClosed, if given, runs there once the box is closed.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void Show(const std::string& text, const std::string& caption,
                      MessageIcon icon = MessageIcon::None,
                      std::function<void()> onClosed = {}) = 0;
};

}  // namespace vx
